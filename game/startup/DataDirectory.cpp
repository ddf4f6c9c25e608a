#include "DataDirectory.h"

#include <system_error>

namespace skyscuffle {

namespace fs = std::filesystem;

namespace {

bool holdsData(const fs::path& directory)
{
    std::error_code error;
    return fs::is_regular_file(directory / DataDirectory::marker, error);
}

// A source tree is a folder with the project's CMakeLists.txt beside "assets".
bool isSourceTree(const fs::path& folder)
{
    std::error_code error;
    return fs::is_regular_file(folder / "CMakeLists.txt", error) && holdsData(folder / "assets");
}

} // namespace

DataDirectory findDataDirectory(const std::string& requested, const fs::path& executable,
                                const fs::path& workingDirectory)
{
    DataDirectory data;
    const auto accept = [&data](const fs::path& candidate, bool developerTree) {
        data.searched.push_back(candidate);
        if (!holdsData(candidate))
            return false;
        std::error_code error;
        const fs::path absolute = fs::weakly_canonical(candidate, error);
        data.directory = error ? candidate : absolute;
        data.developerTree = developerTree;
        return true;
    };
    if (!requested.empty()) {
        // Asked for by name: that directory or nothing.
        accept(fs::path(requested).is_absolute() ? fs::path(requested) : workingDirectory / requested, false);
        return data;
    }
    if (!executable.empty() && accept(executable.parent_path().parent_path() / "share" / "skyscuffle", false))
        return data;
    if (accept(workingDirectory / "assets", true)) {
        // Named as it always was, so that the console's lines stay the same.
        data.directory = "assets";
        return data;
    }
    // A build inside the source tree, e.g. build/release/game/skyscuffle.
    if (!executable.empty()) {
        fs::path folder = executable.parent_path();
        for (int up = 0; up < 4 && folder.has_relative_path(); ++up, folder = folder.parent_path()) {
            if (isSourceTree(folder)) {
                accept(folder / "assets", true);
                break;
            }
        }
    }
    return data;
}

fs::path runningExecutable()
{
    std::error_code error;
    fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path() : self;
}

} // namespace skyscuffle
