#pragma once

#include "ReplayLimits.h"

#include <glm/vec3.hpp>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace kit {

// One player of a recorded match, as the header lists it.
struct ReplayPlayer {
    std::string name;
    glm::vec3 colour{1.0f};
    std::int32_t score = 0;
};

// What a replay says about its match before any of it is played: enough to
// list it (date, players in their colours, winner, length) and to set the
// match up again (its settings, the origin the recording copy owned).
struct ReplayHeader {
    std::string recordedAt; // local time, "2026-12-07 23:59:01"
    float seconds = 0.0f;   // how long the recording runs
    std::uint32_t localOrigin = 0;
    std::vector<ReplayPlayer> players;
    std::string winner; // empty: a draw
    std::vector<std::pair<std::string, std::string>> settings; // tuning values the match ran with
};

// One packet as the recording copy had it, at `milliseconds` after the start:
// a batch of named calls it ran (its own and its peers', in the network's
// RemoteCalls encoding) or a StateUpdate packet (its own or a peer's).
struct ReplayRecord {
    enum class Kind : std::uint8_t { calls = 1, state = 2 };
    Kind kind = Kind::calls;
    std::uint32_t milliseconds = 0;
    std::vector<std::uint8_t> bytes;
};

struct Replay {
    ReplayHeader header;
    std::vector<ReplayRecord> records; // in time order
};

// The replay file: the magic "SKYRPLAY", a 32-bit version, the header in the
// network's bit-stream encoding, then the records compressed with zstd. All
// lengths are 32-bit little-endian and checked against the bounds of
// ReplayLimits.h before they are used: a replay may come from anywhere.
namespace replayFile {
inline constexpr char magic[8] = {'S', 'K', 'Y', 'R', 'P', 'L', 'A', 'Y'};
inline constexpr std::uint32_t version = 1;
} // namespace replayFile

std::vector<std::uint8_t> encodeReplay(const Replay& replay);

// The replay in `bytes`, or nothing with one line saying why in `error`.
// With `headerOnly` the records are not decompressed (listing many files).
std::optional<Replay> decodeReplay(std::span<const std::uint8_t> bytes, std::string& error, bool headerOnly = false);

// The same through a file, read a piece at a time: neither the file nor its
// records decompressed are ever held whole, only the records made of them.
std::optional<Replay> readReplayFile(const std::string& path, std::string& error, bool headerOnly = false);

// Writing goes through a temporary file of this write's own, renamed into
// place (kit::writeFileAtomically), so a full disk never leaves half a
// replay behind and two copies of the game never write into one. A file
// already at `path` is replaced, or with `replace` false kept: the write
// then fails, `path` being taken.
bool writeReplayFile(const std::string& path, const Replay& replay, std::string& error, bool replace = true);

} // namespace kit
