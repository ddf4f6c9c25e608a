#include "ReplayFile.h"

#include "LittleEndian.h"
#include "ReplayBody.h"
#include "ReplaySource.h"

#include "engine/core/AtomicFile.h"
#include "engine/network/stream/NetStream.h"
#include "engine/core/Finite.h"

#include <cmath>
#include <cstring>
#include <iterator>

namespace kit {
namespace {

using namespace replayFile;

using littleEndian::putU32;

bool getU32(ReplaySource& in, std::uint32_t& value)
{
    std::uint8_t bytes[4];
    if (!in.readExactly(bytes, sizeof bytes))
        return false;
    value = 0;
    for (int i = 0; i < 4; ++i)
        value |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
    return true;
}

std::vector<std::uint8_t> encodeHeader(const ReplayHeader& header)
{
    NetStream out;
    out.write(header.recordedAt);
    out.write(header.seconds);
    out.write(header.localOrigin);
    out.write(static_cast<std::uint32_t>(header.players.size()));
    for (const ReplayPlayer& player : header.players) {
        out.write(player.name);
        out.write(player.colour);
        out.write(player.score);
    }
    out.write(header.winner);
    out.write(static_cast<std::uint32_t>(header.settings.size()));
    for (const auto& [key, value] : header.settings) {
        out.write(key);
        out.write(value);
    }
    return {out.data(), out.data() + out.bytesUsed()};
}

// Every read must find its bits: a header cut short is refused, not padded.
bool decodeHeader(std::span<const std::uint8_t> bytes, ReplayHeader& header, std::string& error)
{
    NetStream in(bytes.data(), bytes.size());
    const auto cut = [&error] {
        error = "truncated replay: its header ends early";
        return false;
    };
    std::uint32_t players = 0, settings = 0;
    if (!in.read(header.recordedAt) || !in.read(header.seconds) || !in.read(header.localOrigin) || !in.read(players))
        return cut();
    if (!std::isfinite(header.seconds) || header.seconds < 0.0f || header.seconds > maxSeconds) {
        error = "corrupt replay: its length is not a time";
        return false;
    }
    if (players > maxPlayers) {
        error = "corrupt replay: it lists " + std::to_string(players) + " players, more than " +
                std::to_string(maxPlayers);
        return false;
    }
    header.players.resize(players);
    for (ReplayPlayer& player : header.players) {
        if (!in.read(player.name) || !in.read(player.colour) || !in.read(player.score))
            return cut();
        if (!finite(player.colour)) {
            error = "corrupt replay: a player's colour is not a colour";
            return false;
        }
    }
    if (!in.read(header.winner) || !in.read(settings))
        return cut();
    if (settings > maxSettings) {
        error = "corrupt replay: it lists " + std::to_string(settings) + " settings, more than " +
                std::to_string(maxSettings);
        return false;
    }
    header.settings.resize(settings);
    for (auto& [key, value] : header.settings) {
        if (!in.read(key) || !in.read(value))
            return cut();
    }
    return true;
}

std::optional<Replay> readReplay(ReplaySource& in, std::string& error, bool headerOnly)
{
    char start[sizeof magic];
    if (!in.readExactly(reinterpret_cast<std::uint8_t*>(start), sizeof start) ||
        std::memcmp(start, magic, sizeof magic) != 0) {
        error = "not a replay: it does not start with \"SKYRPLAY\"";
        return std::nullopt;
    }
    std::uint32_t fileVersion = 0, headerBytes = 0;
    if (!getU32(in, fileVersion)) {
        error = "truncated replay: no version";
        return std::nullopt;
    }
    if (fileVersion != version) {
        error = "replay version " + std::to_string(fileVersion) + " is not one this game reads (version " +
                std::to_string(version) + ")";
        return std::nullopt;
    }
    if (!getU32(in, headerBytes) || headerBytes > in.left()) {
        error = "truncated replay: its header ends early";
        return std::nullopt;
    }
    if (headerBytes > maxHeaderBytes) {
        error = "corrupt replay: a header of " + std::to_string(headerBytes) + " bytes";
        return std::nullopt;
    }
    std::vector<std::uint8_t> header(headerBytes);
    Replay replay;
    if (!in.readExactly(header.data(), header.size())) {
        error = "truncated replay: its header ends early";
        return std::nullopt;
    }
    if (!decodeHeader(header, replay.header, error))
        return std::nullopt;
    if (headerOnly)
        return replay;
    if (!readReplayBody(in, replay.header.seconds, replay.records, error))
        return std::nullopt;
    return replay;
}

} // namespace

std::vector<std::uint8_t> encodeReplay(const Replay& replay)
{
    std::vector<std::uint8_t> out(std::begin(magic), std::end(magic));
    putU32(out, version);
    const std::vector<std::uint8_t> header = encodeHeader(replay.header);
    putU32(out, static_cast<std::uint32_t>(header.size()));
    out.insert(out.end(), header.begin(), header.end());
    writeReplayBody(replay.records, out);
    return out;
}

std::optional<Replay> decodeReplay(std::span<const std::uint8_t> bytes, std::string& error, bool headerOnly)
{
    ReplayBytes in(bytes);
    return readReplay(in, error, headerOnly);
}

std::optional<Replay> readReplayFile(const std::string& path, std::string& error, bool headerOnly)
{
    ReplayFileSource in(path);
    if (!in.isOpen()) {
        error = "cannot open " + path;
        return std::nullopt;
    }
    std::optional<Replay> replay = readReplay(in, error, headerOnly);
    if (!replay)
        error = path + ": " + error;
    return replay;
}

bool writeReplayFile(const std::string& path, const Replay& replay, std::string& error, bool replace)
{
    const std::vector<std::uint8_t> bytes = encodeReplay(replay);
    const std::string failed =
        writeFileAtomically(path, {reinterpret_cast<const char*>(bytes.data()), bytes.size()}, replace);
    if (!failed.empty()) {
        error = "cannot write " + path + ": " + failed;
        return false;
    }
    return true;
}

} // namespace kit
