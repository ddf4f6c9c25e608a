#include "ReplayShelf.h"

#include "engine/core/UserDirectories.h"

#include <algorithm>
#include <iostream>

namespace skyscuffle {

std::filesystem::path replayDirectory()
{
    return kit::userDirectories::dataHome() / "skyscuffle" / "replays";
}

std::string replayFileName(const kit::ReplayHeader& header)
{
    std::string name = header.recordedAt + "_" + (header.winner.empty() ? std::string("draw") : header.winner);
    for (char& c : name) {
        const bool plain = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
        if (!plain)
            c = '-';
    }
    return name + ".replay";
}

std::vector<std::filesystem::path> shelvedReplays(const std::filesystem::path& directory)
{
    std::vector<std::filesystem::path> found;
    std::error_code error;
    for (std::filesystem::directory_iterator it(directory, error), end; !error && it != end; it.increment(error)) {
        if (it->path().extension() == ".replay" && it->is_regular_file(error))
            found.push_back(it->path());
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.filename() > b.filename(); });
    return found;
}

std::optional<std::filesystem::path> shelveReplay(const kit::Replay& replay, const std::filesystem::path& directory,
                                                  int keep)
{
    std::error_code made;
    std::filesystem::create_directories(directory, made);
    std::filesystem::path path = directory / replayFileName(replay.header);
    // Two matches ended within one second: the second gets a number.
    for (int n = 2; std::filesystem::exists(path, made) && n < 100; ++n)
        path = directory / (path.stem().string() + "_" + std::to_string(n) + ".replay");
    std::string error;
    if (!kit::writeReplayFile(path.string(), replay, error)) {
        std::cerr << "The match's replay is not kept: " << error << "\n";
        return std::nullopt;
    }
    const std::vector<std::filesystem::path> all = shelvedReplays(directory);
    for (std::size_t i = static_cast<std::size_t>(std::max(keep, 1)); i < all.size(); ++i) {
        std::error_code ignored;
        std::filesystem::remove(all[i], ignored);
    }
    return path;
}

} // namespace skyscuffle
