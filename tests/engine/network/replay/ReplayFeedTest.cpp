// The feed hands a replay's records to a network system in order, as they
// come due, and never more than a step's worth at once: a moment crowded
// with records is played over the calls that follow.
#include "engine/network/replay/ReplayFeed.h"
#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"

#include <gtest/gtest.h>

namespace {

// A call batch without calls, which the network system takes in silence.
kit::ReplayRecord emptyBatch(std::uint32_t milliseconds)
{
    return {kit::ReplayRecord::Kind::calls, milliseconds, {0}};
}

struct Feed : ::testing::Test {
    kit::World world;
    kit::NetworkSystem* network = new kit::NetworkSystem(30.0f);

    Feed() { world.addComponent(kit::EntityHandle{world.systemEntity(), &world}, network); }
};

} // namespace

TEST_F(Feed, AStepsWorthIsATwentiethOfASecondsBound)
{
    EXPECT_EQ(kit::ReplayFeed::maxPerPlay, 204u);
    EXPECT_EQ(kit::ReplayFeed::maxPerPlay, kit::replayFile::maxRecordsPerSecond / 20);
}

TEST_F(Feed, RecordsCrowdedAtOneMomentComeAStepsWorthAtATime)
{
    constexpr std::size_t per = kit::ReplayFeed::maxPerPlay;
    auto replay = std::make_shared<kit::Replay>();
    replay->header.seconds = 2.0f;
    for (std::size_t i = 0; i < 2 * per + 5; ++i)
        replay->records.push_back(emptyBatch(500));
    replay->records.push_back(emptyBatch(1500));
    kit::ReplayFeed feed(replay);

    EXPECT_EQ(feed.playUntil(*network, 0.4f), 0u) << "not due yet";
    EXPECT_EQ(feed.playUntil(*network, 1.0f), per);
    EXPECT_EQ(feed.playUntil(*network, 1.0f), per);
    EXPECT_EQ(feed.playUntil(*network, 1.0f), 5u) << "the rest of the moment, and nothing later";
    EXPECT_EQ(feed.playUntil(*network, 1.0f), 0u);
    EXPECT_FALSE(feed.finished());
    EXPECT_EQ(feed.playUntil(*network, 1.5f), 1u);
    EXPECT_TRUE(feed.finished());
    EXPECT_EQ(feed.callBatches(), 2 * per + 6);
}

TEST_F(Feed, AStepsWorthComesInOneCall)
{
    constexpr std::size_t per = kit::ReplayFeed::maxPerPlay;
    auto replay = std::make_shared<kit::Replay>();
    replay->header.seconds = 1.0f;
    for (std::size_t i = 0; i < per; ++i)
        replay->records.push_back(emptyBatch(static_cast<std::uint32_t>(i)));
    kit::ReplayFeed feed(replay);
    EXPECT_EQ(feed.playUntil(*network, 1.0f), per);
    EXPECT_TRUE(feed.finished());
}
