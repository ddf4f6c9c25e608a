#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace skyscuffle {

// Where the game's data (the asset tree) is for this run. Looked for in order:
// the directory given on the command line; beside the executable as installed
// (<prefix>/bin/skyscuffle reads <prefix>/share/skyscuffle); the working
// directory's "assets", as developers and the tests have always run it; the
// "assets" folder of the source tree the executable was built in (a folder
// above it with the project's CMakeLists.txt). A directory counts when it
// holds the marker file.
struct DataDirectory {
    std::filesystem::path directory; // empty: none found
    // A developer's tree (the working directory's or the source tree's): its
    // tuning file is the designers', read at start and written back at exit.
    // Never so for installed data or a directory given by name.
    bool developerTree = false;
    std::vector<std::filesystem::path> searched; // in order, for the message

    static constexpr const char* marker = "buckets/gameWorld.txt";

    [[nodiscard]] bool found() const { return !directory.empty(); }
};

DataDirectory findDataDirectory(const std::string& requested, const std::filesystem::path& executable,
                                const std::filesystem::path& workingDirectory);

// The running program's own file (from /proc/self/exe), empty if unknown.
std::filesystem::path runningExecutable();

} // namespace skyscuffle
