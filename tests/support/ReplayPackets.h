#pragma once

#include "engine/core/EntityID.h"
#include "engine/network/replay/ReplayFile.h"
#include "engine/network/stream/NetStream.h"

#include <cstdint>
#include <string>
#include <vector>

namespace test {

// One record of a StateUpdate packet: an entity's component and its state,
// `bits` long (whole bytes of `fill`, the spare bits of the last one zero).
struct StateRecord {
    kit::EntityID entity;
    std::string name = "transform";
    std::size_t bits = 8;
    std::uint8_t fill = 0;
};

// The packet as a copy sends it (NetworkSystem's StateUpdate encoding).
inline std::vector<std::uint8_t> statePacketOf(std::uint32_t sender, const std::vector<StateRecord>& records,
                                               const std::string& screen = "game")
{
    kit::NetStream out;
    out.write(std::uint8_t{135});
    out.write(sender);
    out.write(screen);
    for (const StateRecord& record : records) {
        out.write(true);
        out.write(record.entity);
        out.write(record.name);
        std::vector<std::uint8_t> bytes((record.bits + 7) / 8, record.fill);
        if (record.bits % 8 != 0)
            bytes.back() &= static_cast<std::uint8_t>(0xFF << (8 - record.bits % 8));
        kit::NetStream state;
        state.writeBits(bytes.data(), record.bits);
        out.write(state);
    }
    out.write(false);
    return {out.data(), out.data() + out.bytesUsed()};
}

// A packed state packet written by hand, after the layout StatePacking.h
// gives, for what a packer never writes.
class PackedPacket {
public:
    PackedPacket(std::uint32_t sender, std::uint32_t records, const std::string& screen = "game")
    {
        u32(sender);
        text(screen);
        u32(records);
    }
    // A record: `name` is the name's number, `introduce` its text when it is new.
    PackedPacket& record(kit::EntityID entity, std::uint16_t name, const std::string* introduce, std::uint32_t bits,
                         std::uint8_t mode, std::uint8_t fill = 0)
    {
        u32(entity.origin);
        u32(entity.serial);
        u16(name);
        if (introduce)
            text(*introduce);
        u32(bits);
        bytes.push_back(mode);
        if (mode != 0)
            bytes.insert(bytes.end(), (bits + 7) / 8, fill);
        return *this;
    }

    std::vector<std::uint8_t> bytes;

private:
    void u16(std::uint16_t v)
    {
        bytes.push_back(static_cast<std::uint8_t>(v));
        bytes.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    void u32(std::uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
    void text(const std::string& t)
    {
        u16(static_cast<std::uint16_t>(t.size()));
        bytes.insert(bytes.end(), t.begin(), t.end());
    }
};

// Mode bytes of a packed record.
inline constexpr std::uint8_t sameMode = 0, wholeMode = 1;

// A record of the replay file as it is stored packed (kind 3): written
// through encodeReplay, which stores a kind it does not know as it is.
inline kit::ReplayRecord packedRecord(std::uint32_t milliseconds, std::vector<std::uint8_t> bytes)
{
    return {static_cast<kit::ReplayRecord::Kind>(3), milliseconds, std::move(bytes)};
}

// A call batch of `bytes` bytes (its first the RemoteCalls identifier).
inline kit::ReplayRecord callRecord(std::uint32_t milliseconds, std::size_t bytes = 1)
{
    std::vector<std::uint8_t> batch(bytes, 0);
    batch[0] = 136;
    return {kit::ReplayRecord::Kind::calls, milliseconds, std::move(batch)};
}

} // namespace test
