#include "ReplayFile.h"

#include "StatePacking.h"

#include "engine/core/AtomicFile.h"
#include "engine/network/stream/NetStream.h"

#include <zstd.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

namespace kit {
namespace {

using namespace replayFile;

void putU32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// Reads forward through bytes that may end anywhere.
class Cursor {
public:
    explicit Cursor(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool u32(std::uint32_t& value)
    {
        if (left() < 4)
            return false;
        value = 0;
        for (int i = 0; i < 4; ++i)
            value |= static_cast<std::uint32_t>(bytes_[at_ + static_cast<std::size_t>(i)]) << (8 * i);
        at_ += 4;
        return true;
    }
    bool u8(std::uint8_t& value)
    {
        if (left() < 1)
            return false;
        value = bytes_[at_++];
        return true;
    }
    std::span<const std::uint8_t> take(std::size_t count)
    {
        const auto part = bytes_.subspan(at_, count);
        at_ += count;
        return part;
    }
    [[nodiscard]] std::size_t left() const { return bytes_.size() - at_; }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

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

bool finite(glm::vec3 v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
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

// State packets are kept taken apart (StatePacking): most of their records
// repeat or barely change from one to the next.
constexpr std::uint8_t packedStateKind = 3;

std::vector<std::uint8_t> encodeBody(const std::vector<ReplayRecord>& records)
{
    std::vector<std::uint8_t> body;
    StatePacker packer;
    for (const ReplayRecord& record : records) {
        std::optional<std::vector<std::uint8_t>> packed;
        if (record.kind == ReplayRecord::Kind::state)
            packed = packer.pack(record.bytes);
        const std::vector<std::uint8_t>& bytes = packed ? *packed : record.bytes;
        body.push_back(packed ? packedStateKind : static_cast<std::uint8_t>(record.kind));
        putU32(body, record.milliseconds);
        putU32(body, static_cast<std::uint32_t>(bytes.size()));
        body.insert(body.end(), bytes.begin(), bytes.end());
    }
    return body;
}

bool decodeBody(std::span<const std::uint8_t> body, float seconds, std::vector<ReplayRecord>& records,
                std::string& error)
{
    Cursor in(body);
    // A record may come a little after the last whole second of the length.
    const auto lastMillisecond = static_cast<std::uint32_t>(seconds * 1000.0f) + 1000u;
    std::uint32_t previous = 0;
    StateUnpacker unpacker;
    while (in.left() > 0) {
        const std::string which = "replay record " + std::to_string(records.size() + 1);
        std::uint8_t kind = 0;
        std::uint32_t milliseconds = 0, length = 0;
        if (!in.u8(kind) || !in.u32(milliseconds) || !in.u32(length)) {
            error = "truncated replay: " + which + " ends early";
            return false;
        }
        if (kind != static_cast<std::uint8_t>(ReplayRecord::Kind::calls) &&
            kind != static_cast<std::uint8_t>(ReplayRecord::Kind::state) && kind != packedStateKind) {
            error = "corrupt replay: " + which + " is of unknown kind " + std::to_string(kind);
            return false;
        }
        if (milliseconds < previous || milliseconds > lastMillisecond) {
            error = "corrupt replay: " + which + " is out of time order";
            return false;
        }
        if (length > maxRecordBytes || length > in.left()) {
            error = (length > maxRecordBytes ? "corrupt replay: " : "truncated replay: ") + which + " claims " +
                    std::to_string(length) + " bytes";
            return false;
        }
        previous = milliseconds;
        const auto bytes = in.take(length);
        ReplayRecord record{static_cast<ReplayRecord::Kind>(kind), milliseconds, {bytes.begin(), bytes.end()}};
        if (kind == packedStateKind) {
            std::string why;
            std::optional<std::vector<std::uint8_t>> packet = unpacker.unpack(record.bytes, why);
            if (!packet) {
                error = "corrupt replay: " + which + ": " + why;
                return false;
            }
            record.kind = ReplayRecord::Kind::state;
            record.bytes = std::move(*packet);
        }
        records.push_back(std::move(record));
    }
    return true;
}

} // namespace

std::vector<std::uint8_t> encodeReplay(const Replay& replay)
{
    std::vector<std::uint8_t> out(std::begin(magic), std::end(magic));
    putU32(out, version);
    const std::vector<std::uint8_t> header = encodeHeader(replay.header);
    putU32(out, static_cast<std::uint32_t>(header.size()));
    out.insert(out.end(), header.begin(), header.end());

    const std::vector<std::uint8_t> body = encodeBody(replay.records);
    std::vector<std::uint8_t> packed(ZSTD_compressBound(body.size()));
    std::size_t packedSize = ZSTD_compress(packed.data(), packed.size(), body.data(), body.size(), 9);
    if (ZSTD_isError(packedSize))
        packedSize = 0; // cannot happen with a bound-sized buffer; an empty body then
    putU32(out, static_cast<std::uint32_t>(packedSize ? body.size() : 0));
    putU32(out, static_cast<std::uint32_t>(packedSize));
    out.insert(out.end(), packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(packedSize));
    return out;
}

std::optional<Replay> decodeReplay(std::span<const std::uint8_t> bytes, std::string& error, bool headerOnly)
{
    Cursor in(bytes);
    if (in.left() < sizeof magic || std::memcmp(in.take(sizeof magic).data(), magic, sizeof magic) != 0) {
        error = "not a replay: it does not start with \"SKYRPLAY\"";
        return std::nullopt;
    }
    std::uint32_t fileVersion = 0, headerBytes = 0;
    if (!in.u32(fileVersion)) {
        error = "truncated replay: no version";
        return std::nullopt;
    }
    if (fileVersion != version) {
        error = "replay version " + std::to_string(fileVersion) + " is not one this game reads (version " +
                std::to_string(version) + ")";
        return std::nullopt;
    }
    if (!in.u32(headerBytes) || headerBytes > in.left()) {
        error = "truncated replay: its header ends early";
        return std::nullopt;
    }
    if (headerBytes > maxHeaderBytes) {
        error = "corrupt replay: a header of " + std::to_string(headerBytes) + " bytes";
        return std::nullopt;
    }
    Replay replay;
    if (!decodeHeader(in.take(headerBytes), replay.header, error))
        return std::nullopt;
    if (headerOnly)
        return replay;

    std::uint32_t bodyBytes = 0, packedBytes = 0;
    if (!in.u32(bodyBytes) || !in.u32(packedBytes) || packedBytes > in.left()) {
        error = "truncated replay: its records end early";
        return std::nullopt;
    }
    if (bodyBytes > maxBodyBytes) {
        error = "corrupt replay: " + std::to_string(bodyBytes) + " bytes of records";
        return std::nullopt;
    }
    if (packedBytes == 0 && bodyBytes == 0)
        return replay;
    const std::span<const std::uint8_t> packed = in.take(packedBytes);
    // The frame must say the size the file declared, before anything is allocated for it.
    const unsigned long long framed = ZSTD_getFrameContentSize(packed.data(), packed.size());
    if (framed == ZSTD_CONTENTSIZE_ERROR || framed == ZSTD_CONTENTSIZE_UNKNOWN || framed != bodyBytes) {
        error = "corrupt replay: its compressed records do not match their size";
        return std::nullopt;
    }
    std::vector<std::uint8_t> body(bodyBytes);
    const std::size_t unpacked = ZSTD_decompress(body.data(), body.size(), packed.data(), packed.size());
    if (ZSTD_isError(unpacked) || unpacked != bodyBytes) {
        error = std::string("corrupt replay: its compressed records do not decode (") +
                (ZSTD_isError(unpacked) ? ZSTD_getErrorName(unpacked) : "short") + ")";
        return std::nullopt;
    }
    if (!decodeBody(body, replay.header.seconds, replay.records, error))
        return std::nullopt;
    return replay;
}

std::optional<Replay> readReplayFile(const std::string& path, std::string& error, bool headerOnly)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot open " + path;
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    if (headerOnly) {
        bytes.resize(sizeof magic + 8 + maxHeaderBytes);
        file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        bytes.resize(static_cast<std::size_t>(file.gcount()));
    } else {
        bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    std::optional<Replay> replay = decodeReplay(bytes, error, headerOnly);
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
