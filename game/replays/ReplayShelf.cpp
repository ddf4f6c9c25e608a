#include "ReplayShelf.h"

#include "engine/core/Log.h"
#include "engine/core/UserDirectories.h"

#include <algorithm>
#include <regex>

namespace skyscuffle {

std::filesystem::path replayDirectory()
{
    const std::filesystem::path home = kit::userDirectories::dataHome();
    return home.empty() ? home : home / "skyscuffle" / "replays";
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

bool isShelvedName(const std::string& fileName)
{
    // "2026-12-07_23-59-01_" then a winner of letters, digits and '-', then
    // perhaps "_2" and on; replayFileName never leaves a '_' in a winner.
    static const std::regex shelved(R"(\d{4}-\d{2}-\d{2}_\d{2}-\d{2}-\d{2}_[A-Za-z0-9-]+(_[0-9]+)?\.replay)");
    return std::regex_match(fileName, shelved);
}

std::optional<std::filesystem::path> shelveReplay(const kit::Replay& replay, const std::filesystem::path& directory,
                                                  int keep)
{
    if (directory.empty()) {
        kit::log::warn()
            << "The match's replay is not kept: there is no home directory (neither HOME nor XDG_DATA_HOME is "
               "set)";
        return std::nullopt;
    }
    std::error_code made;
    std::filesystem::create_directories(directory, made);
    const std::string name = replayFileName(replay.header);
    const std::string stem = name.substr(0, name.size() - std::string(".replay").size());
    // Two matches ended within one second: the second gets a number. The
    // name is taken as the file is written, so two copies of the game
    // ending together each get their own.
    std::optional<std::filesystem::path> written;
    std::string error;
    for (int n = 1; n < 100 && !written; ++n) {
        const std::filesystem::path path = directory / (n == 1 ? name : stem + "_" + std::to_string(n) + ".replay");
        std::error_code ignored;
        if (std::filesystem::exists(path, ignored))
            continue;
        if (kit::writeReplayFile(path.string(), replay, error, false))
            written = path;
        else if (!std::filesystem::exists(path, ignored))
            break; // not taken meanwhile: it cannot be written
    }
    if (!written) {
        kit::log::warn() << "The match's replay is not kept: "
                         << (error.empty() ? "every name for it is taken in " + directory.string() : error);
        return std::nullopt;
    }
    // The shelf's own replays but the new one, newest first: those past the
    // newest keep - 1 go, so that `keep` stay with the new one, whatever its
    // date says (a clock set back) and whatever else the folder holds.
    std::vector<std::filesystem::path> others;
    for (const std::filesystem::path& path : shelvedReplays(directory)) {
        if (isShelvedName(path.filename().string()) && path.filename() != written->filename())
            others.push_back(path);
    }
    for (std::size_t i = static_cast<std::size_t>(std::max(keep, 1)) - 1; i < others.size(); ++i) {
        std::error_code ignored;
        std::filesystem::remove(others[i], ignored);
    }
    lastShelvedReplay() = written;
    return written;
}

std::vector<std::filesystem::path> everyReplay(const std::filesystem::path& directory)
{
    if (directory.empty())
        return {};
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
    if (directory.empty()) {
        kit::log::warn()
            << "The replay is not kept: there is no home directory (neither HOME nor XDG_DATA_HOME is set)";
        return std::nullopt;
    }
    std::error_code failed;
    const std::filesystem::path kept = directory / "kept";
    std::filesystem::create_directories(kept, failed);
    const std::filesystem::path to = kept / replay.filename();
    if (!failed)
        std::filesystem::copy_file(replay, to, std::filesystem::copy_options::overwrite_existing, failed);
    if (failed) {
        kit::log::warn() << "The replay is not kept: " << to.string() << ": " << failed.message();
        return std::nullopt;
    }
    return to;
}

} // namespace skyscuffle
