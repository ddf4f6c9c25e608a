#include "game/ScoreTable.h"
#include "engine/network/NetworkSystem.h"

#include <gtest/gtest.h>

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
