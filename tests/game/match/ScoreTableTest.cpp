#include "game/match/ScoreTable.h"
#include "engine/core/Label.h"
#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"

#include <gtest/gtest.h>

using namespace skyscuffle;

TEST(ScoreTables, RoundTripInOrder)
{
    ScoreTable table{{kit::EntityID{1, 2}, 5}, {kit::EntityID{3, 4}, -1}, {kit::EntityID{5, 6}, 0}};
    kit::NetStream stream;
    serialize(stream, table);
    EXPECT_EQ(stream.bitsUsed(), 32u + 3u * 96u);
    ScoreTable back{{kit::EntityID{9, 9}, 9}}; // replaced, not appended to
    stream.writing = false;
    serialize(stream, back);
    EXPECT_EQ(back, table);
}

TEST(ScoreTables, AForgedCountIsBoundedByWhatThePacketHolds)
{
    kit::NetStream stream;
    stream.write(std::uint32_t{0xFFFFFFFF});
    stream.write(kit::EntityID{1, 1});
    stream.write(std::int32_t{7});
    stream.write(std::uint8_t{0}); // a few stray bits, not a whole entry
    ScoreTable read;
    stream.writing = false;
    serialize(stream, read);
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0], (ScoreEntry{kit::EntityID{1, 1}, 7}));

    kit::NetStream empty;
    empty.writing = false;
    serialize(empty, read);
    EXPECT_TRUE(read.empty());
}

TEST(ScoreTables, APeersTableShowsOnlyThePlanesOfTheMatchOnceEach)
{
    kit::World world;
    const kit::EntityID a{7, 1}, b{7, 2}, player{7, 3};
    for (kit::EntityID plane : {a, b})
        world.addComponent(kit::EntityHandle{plane, &world}, new kit::Label("plane"));
    world.addComponent(kit::EntityHandle{player, &world}, new kit::Label("player")); // no plane
    const ScoreTable forged{{b, 2000000}, {kit::EntityID{9, 9}, 5}, {a, 3}, {b, 4}, {player, 1}, {a, -2000000}};
    EXPECT_EQ(knownPlanes(forged, world), (ScoreTable{{b, 1000000}, {a, 3}}));
}

TEST(ScoreTables, ACountOfExactlyTheEntriesSentIsReadWholeAndOneMoreIsCut)
{
    auto table = [](std::uint32_t count, int entries) {
        kit::NetStream stream;
        stream.write(count);
        for (int i = 0; i < entries; ++i) {
            stream.write(kit::EntityID{1, static_cast<std::uint32_t>(i + 1)});
            stream.write(std::int32_t{i});
        }
        stream.writing = false;
        ScoreTable read;
        serialize(stream, read);
        return read;
    };
    EXPECT_EQ(table(3, 3).size(), 3u);
    EXPECT_EQ(table(4, 3).size(), 3u); // one more than sent
    EXPECT_EQ(table(2, 3).size(), 2u); // fewer: the rest is not read
    EXPECT_EQ(table(1, 0).size(), 0u);
}

TEST(ScoreTables, PointsOfAMillionEitherWayStandAndOneMoreIsCutToIt)
{
    kit::World world;
    const kit::EntityID a{7, 1}, b{7, 2}, c{7, 3}, d{7, 4};
    for (kit::EntityID plane : {a, b, c, d})
        world.addComponent(kit::EntityHandle{plane, &world}, new kit::Label("plane"));
    const ScoreTable sent{{a, 1000000}, {b, 1000001}, {c, -1000000}, {d, -1000001}};
    EXPECT_EQ(knownPlanes(sent, world), (ScoreTable{{a, 1000000}, {b, 1000000}, {c, -1000000}, {d, -1000000}}));
}
