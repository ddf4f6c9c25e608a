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
    // The date's space becomes '_', and anything else a file name should not
    // hold (':', '/', a name's spaces) '-'.
    const auto plain = [](std::string text, char space) {
        for (char& c : text) {
            const bool safe = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
            if (!safe)
                c = c == ' ' ? space : '-';
        }
        return text;
    };
    return plain(header.recordedAt, '_') + "_" +
           (header.winner.empty() ? std::string("draw") : plain(header.winner, '-')) + ".replay";
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
    lastShelvedReplay() = path;
    return path;
}

std::vector<std::filesystem::path> everyReplay(const std::filesystem::path& directory)
{
    std::vector<std::filesystem::path> all = shelvedReplays(directory);
    const std::vector<std::filesystem::path> kept = shelvedReplays(directory / "kept");
    all.insert(all.end(), kept.begin(), kept.end());
    std::sort(all.begin(), all.end(), [](const auto& a, const auto& b) { return a.filename() > b.filename(); });
    return all;
}

std::optional<std::filesystem::path>& lastShelvedReplay()
{
    static std::optional<std::filesystem::path> last;
    return last;
}

std::optional<std::filesystem::path> keepReplay(const std::filesystem::path& replay,
                                                const std::filesystem::path& directory)
{
    std::error_code failed;
    const std::filesystem::path kept = directory / "kept";
    std::filesystem::create_directories(kept, failed);
    const std::filesystem::path to = kept / replay.filename();
    if (!failed)
        std::filesystem::copy_file(replay, to, std::filesystem::copy_options::overwrite_existing, failed);
    if (failed) {
        std::cerr << "The replay is not kept: " << to.string() << ": " << failed.message() << "\n";
        return std::nullopt;
    }
    return to;
}

} // namespace skyscuffle
