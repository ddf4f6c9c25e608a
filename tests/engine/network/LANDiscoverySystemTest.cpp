// Two discovery systems in one process, on the game's discovery ports, inside
// the private network namespace (255.255.255.255 is routed to loopback there).
#include "engine/network/LANDiscoverySystem.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

using kit::LANDiscoverySystem;

namespace {

struct TwoCopies : ::testing::Test {
    std::unique_ptr<LANDiscoverySystem> first, second;
    std::string output;

    void SetUp() override
    {
        testing::internal::CaptureStdout();
        first = std::make_unique<LANDiscoverySystem>(std::vector<std::uint16_t>{16520, 16521}, 64, 1.0f);
        second = std::make_unique<LANDiscoverySystem>(std::vector<std::uint16_t>{16520, 16521}, 64, 1.0f);
    }
    void TearDown() override
    {
        if (capturing_)
            testing::internal::GetCapturedStdout();
    }
    std::string stop()
    {
        capturing_ = false;
        output = testing::internal::GetCapturedStdout();
        return output;
    }
    bool capturing_ = true;

    // Update rounds (one update of each system) until the condition holds.
    int roundsUntil(const std::function<bool()>& done, int limit = 3000)
    {
        for (int round = 1; round <= limit; ++round) {
            first->update(0.001f);
            second->update(0.001f);
            if (done())
                return round;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return -1;
    }
    bool connected()
    {
        return first->peer->connectionCount() == 1 && second->peer->connectionCount() == 1 &&
               first->servers.size() == 1 && second->servers.size() == 1;
    }
};

} // namespace

TEST_F(TwoCopies, FindEachOtherThroughTheBroadcastPings)
{
    EXPECT_EQ(first->boundPort, 16520);
    EXPECT_EQ(second->boundPort, 16521);
    ASSERT_GT(roundsUntil([&] { return connected(); }), 0);
    const std::string log = stop();
    // Neither lists itself; each knows the other's port.
    EXPECT_EQ(first->servers.begin()->first.port, 16521);
    EXPECT_EQ(second->servers.begin()->first.port, 16520);
    EXPECT_FALSE(first->servers.begin()->second.hosting);
    EXPECT_NE(log.find("PONG from 127.0.0.1|16520"), std::string::npos) << log;
    EXPECT_NE(log.find("Connected to: 127.0.0.1|16521"), std::string::npos) << log;
    EXPECT_NE(log.find("Connected to: 127.0.0.1|16520"), std::string::npos) << log;
    EXPECT_EQ(first->localIP(), kit::NetPeer::localIPv4());
}

TEST_F(TwoCopies, AHostingChangeArrivesWithinOneRound)
{
    ASSERT_GT(roundsUntil([&] { return connected(); }), 0);
    first->hosting = true;
    first->announceNow = true;
    first->update(0.0f); // sends at once
    const int rounds = roundsUntil([&] { return second->servers.begin()->second.hosting; }, 200);
    stop();
    EXPECT_GT(rounds, 0);
    EXPECT_LE(rounds, 2); // the next update round (a second on a busy machine), not the one-second tick
}

TEST_F(TwoCopies, ARunningMatchArrivesAtOnceAndItsEndAfterTheLease)
{
    ASSERT_GT(roundsUntil([&] { return connected(); }), 0);
    first->announceMatch({102, 4});
    first->update(0.0f); // a match that starts is told at once
    const auto heard = [&] {
        const auto& match = second->servers.begin()->second.match;
        return match && match->secondsLeft == 102 && match->players == 4;
    };
    const int rounds = roundsUntil(heard, 200);
    EXPECT_GT(rounds, 0);
    EXPECT_LE(rounds, 2);
    EXPECT_FALSE(second->servers.begin()->second.hosting);
    // Its world falls silent: the lease runs out and the end is told at once.
    first->update(kit::LANDiscoverySystem::matchLease);
    EXPECT_GT(roundsUntil([&] { return !second->servers.begin()->second.match; }, 200), 0);
    stop();
}

TEST_F(TwoCopies, APongFromAConnectedCopyChangesNothing)
{
    ASSERT_GT(roundsUntil([&] { return connected(); }), 0);
    stop();
    testing::internal::CaptureStdout();
    second->peer->ping("255.255.255.255", 16520, true); // the first answers with a pong
    roundsUntil([] { return false; }, 100);
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_EQ(log.find("PONG from"), std::string::npos) << log;
    EXPECT_EQ(second->peer->connectionCount(), 1u);
    EXPECT_EQ(first->peer->connectionCount(), 1u);
}

TEST_F(TwoCopies, ADepartureRemovesTheEntry)
{
    ASSERT_GT(roundsUntil([&] { return connected(); }), 0);
    second->peer->shutdown(std::chrono::milliseconds(50));
    const int rounds = roundsUntil([&] { return first->servers.empty(); }, 500);
    stop();
    EXPECT_GT(rounds, 0);
}

TEST_F(TwoCopies, ASilentDepartureRemovesTheEntryToo)
{
    ASSERT_GT(roundsUntil([&] { return connected(); }), 0);
    // The second copy stops answering without a goodbye (a crash, a pulled
    // cable); the first announces and finds the connection lost.
    first->peer->setTimeout(std::chrono::milliseconds(300));
    first->announceNow = true;
    int rounds = -1;
    for (int round = 1; round <= 3000 && rounds < 0; ++round) {
        first->update(0.001f);
        if (first->servers.empty())
            rounds = round;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const std::string log = stop();
    EXPECT_GT(rounds, 0) << log;
}

TEST(LANDiscovery, WithoutAFreePortItDoesNothing)
{
    kit::NetPeer squatter;
    ASSERT_TRUE(squatter.start(16531, 1));
    LANDiscoverySystem blocked({16531}, 8, 1.0f);
    EXPECT_EQ(blocked.boundPort, 0);
    blocked.update(2.0f); // no announcement, no packets, no crash
    blocked.connectTo("127.0.0.1", 0);
    EXPECT_EQ(blocked.peer->connectionCount(), 0u);
}
