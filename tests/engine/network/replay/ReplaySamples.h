// A sample replay and the tools the replay file's tests take encoded files
// apart with: where their sizes lie, and a word written over one of them.
#pragma once

#include "engine/network/replay/ReplayFile.h"
#include "engine/network/stream/NetStream.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace test {

// A StateUpdate packet as a copy sends it: per entity a component "transform"
// with three floats and a "score" with one integer.
inline std::vector<std::uint8_t> statePacket(std::uint32_t sender, float x, std::int32_t points, int entities = 3)
{
    kit::NetStream out;
    out.write(std::uint8_t{135});
    out.write(sender);
    out.write(std::string("game"));
    for (int e = 0; e < entities; ++e) {
        const kit::EntityID id{sender, static_cast<std::uint32_t>(e + 1)};
        for (const char* type : {"transform", "score"}) {
            out.write(true);
            out.write(id);
            out.write(std::string(type));
            kit::NetStream state;
            if (std::strcmp(type, "transform") == 0) {
                state.write(true); // a flag ahead of the floats: the state is not byte-aligned
                state.write(glm::vec3(x + static_cast<float>(e), 2.0f, -3.5f));
            } else {
                state.write(points);
            }
            out.write(state);
        }
    }
    out.write(false);
    return {out.data(), out.data() + out.bytesUsed()};
}

inline std::vector<std::uint8_t> callBatch(const std::string& name)
{
    kit::NetStream out;
    out.write(std::uint8_t{136});
    out.write(name);
    kit::NetStream arguments;
    arguments.write(kit::EntityID{7, 9});
    out.write(arguments);
    out.write(std::uint8_t{0});
    return {out.data(), out.data() + out.bytesUsed()};
}

inline kit::Replay sample()
{
    kit::Replay r;
    r.header.recordedAt = "2026-12-07 23:59:01";
    r.header.seconds = 12.5f;
    r.header.localOrigin = 0xA1B2C3D4;
    r.header.players = {{"Blue", glm::vec3(0.3f, 0.6f, 0.8f), 4}, {"Pink", glm::vec3(0.8f, 0.4f, 0.5f), -1}};
    r.header.winner = "Blue";
    r.header.settings = {{"tuning.gameWorld.matchLength", "12.5"}};
    r.records.push_back({kit::ReplayRecord::Kind::calls, 0, callBatch("startGameplay")});
    for (int tick = 0; tick < 40; ++tick) {
        const auto ms = static_cast<std::uint32_t>(tick * 66);
        r.records.push_back(
            {kit::ReplayRecord::Kind::state, ms, statePacket(0xA1B2C3D4, 0.1f * static_cast<float>(tick), tick / 10)});
        r.records.push_back({kit::ReplayRecord::Kind::state, ms, statePacket(0x00000042, 5.0f, 0, 1 + tick % 3)});
        if (tick % 7 == 0)
            r.records.push_back({kit::ReplayRecord::Kind::calls, ms + 5, callBatch("spawnBullet")});
    }
    // A packet that does not rebuild exactly (a stray byte after its end) is kept whole.
    std::vector<std::uint8_t> odd = statePacket(0x00000042, 1.0f, 0);
    odd.push_back(0x5A);
    r.records.push_back({kit::ReplayRecord::Kind::state, 2700, odd});
    return r;
}

inline void expectSame(const kit::Replay& a, const kit::Replay& b)
{
    EXPECT_EQ(a.header.recordedAt, b.header.recordedAt);
    EXPECT_EQ(a.header.seconds, b.header.seconds);
    EXPECT_EQ(a.header.localOrigin, b.header.localOrigin);
    ASSERT_EQ(a.header.players.size(), b.header.players.size());
    for (std::size_t i = 0; i < a.header.players.size(); ++i) {
        EXPECT_EQ(a.header.players[i].name, b.header.players[i].name);
        EXPECT_EQ(a.header.players[i].colour, b.header.players[i].colour);
        EXPECT_EQ(a.header.players[i].score, b.header.players[i].score);
    }
    EXPECT_EQ(a.header.winner, b.header.winner);
    EXPECT_EQ(a.header.settings, b.header.settings);
    ASSERT_EQ(a.records.size(), b.records.size());
    for (std::size_t i = 0; i < a.records.size(); ++i) {
        EXPECT_EQ(a.records[i].kind, b.records[i].kind) << "record " << i;
        EXPECT_EQ(a.records[i].milliseconds, b.records[i].milliseconds) << "record " << i;
        EXPECT_EQ(a.records[i].bytes, b.records[i].bytes) << "record " << i;
    }
}

inline std::optional<kit::Replay> decode(const std::vector<std::uint8_t>& bytes, std::string& error,
                                         bool headerOnly = false)
{
    return kit::decodeReplay(bytes, error, headerOnly);
}

inline void putU32At(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

// Where the header's length and the body's sizes lie in an encoded file.
inline constexpr std::size_t headerLengthAt = 12;
inline std::size_t bodySizesAt(const std::vector<std::uint8_t>& bytes)
{
    std::uint32_t header = 0;
    std::memcpy(&header, bytes.data() + headerLengthAt, 4); // little-endian on this machine, as written
    return headerLengthAt + 4 + header;
}

} // namespace test
