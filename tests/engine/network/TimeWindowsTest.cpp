// How long a copy waits, each window tried at its edge: just inside it
// nothing happens yet, just outside it does. Copies are driven by packets
// handed to them and by their clocks, moved on by hand: the frame clock by
// frames, the wall clock by the migration's shift (a change of host waits on
// both, so that neither a long frame nor a stalled copy is taken for silence).
#include "engine/network/CallReplay.h"
#include "engine/network/HostMigration.h"
#include "engine/network/MessageIdentifiers.h"
#include "engine/network/NetworkSystem.h"
#include "engine/network/SessionRoster.h"

#include "engine/core/World.h"

#include <gtest/gtest.h>

#include <chrono>

using kit::HostMigration;
using kit::NetworkSystem;

namespace {

constexpr std::uint32_t self = 0x5000;
constexpr std::uint32_t oldHost = 0x1000;
const kit::NetAddress hostAddress{0x7F000001, 30001};

std::vector<std::uint8_t> bytesOf(const kit::NetStream& s)
{
    return std::vector<std::uint8_t>(s.data(), s.data() + s.bytesUsed());
}

// A joined copy whose host sent it a roster; nothing but this copy's own
// frames and clocks moves.
struct Joined : ::testing::Test {
    kit::World world;
    NetworkSystem* network = new NetworkSystem(30.0f);
    std::vector<std::uint32_t> lost;
    kit::ScopedConnection watch;

    void SetUp() override
    {
        testing::internal::CaptureStdout();
        world.origin = self;
        world.addComponent(kit::EntityHandle{world.systemEntity(), &world}, network);
        watch = migration().hostLost.connect([this](std::uint32_t h) { lost.push_back(h); });
    }
    void TearDown() override
    {
        const std::string out = testing::internal::GetCapturedStdout();
        if (HasFailure())
            std::cout << out;
    }
    HostMigration& migration() { return network->migration(); }
    void join(std::vector<std::uint32_t> members, std::uint16_t gamePort = 9)
    {
        migration().joined();
        network->handlePacket(kit::NetPeer::Packet{{kit::message::connectionRequestAccepted}, hostAddress, 1});
        kit::SessionRoster roster;
        roster.host = oldHost;
        roster.gamePort = gamePort;
        roster.sequence = 1;
        for (std::uint32_t m : members)
            roster.members.push_back({m, 0x7F000001});
        network->handlePacket(kit::NetPeer::Packet{bytesOf(roster.encode()), hostAddress, 1});
    }
    // Frames of `seconds` on the frame clock, in steps.
    void frames(float seconds)
    {
        constexpr float step = 0.05f;
        for (float t = 0.0f; t + step / 2 < seconds; t += step)
            world.update(step);
    }
    // The wall clock moved on by `seconds`.
    void wall(double seconds)
    {
        migration().wallShift +=
            std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(seconds));
    }
};

} // namespace

TEST_F(Joined, AHostIsTakenForGoneAfterTwoSecondsOfSilenceOnBothClocks)
{
    join({0x9000, self});
    // The frame clock just short of it, the wall clock past it: not yet.
    wall(HostMigration::hostSilence + 1.0);
    frames(HostMigration::hostSilence - 0.1f);
    EXPECT_TRUE(lost.empty());
    // Both past it: gone.
    frames(0.2f);
    ASSERT_EQ(lost, std::vector<std::uint32_t>{oldHost});
    EXPECT_TRUE(migration().seeking());
}

TEST_F(Joined, AHostIsNotTakenForGoneWhileTheWallClockIsShortOfTwoSeconds)
{
    join({0x9000, self});
    frames(HostMigration::hostSilence + 1.0f);
    // The frames ran ahead of the wall clock: a copy that raced, not a silent host.
    EXPECT_TRUE(lost.empty());
    wall(HostMigration::hostSilence - 0.1 - migration().secondsSinceHostHeard());
    world.update(0.01f);
    EXPECT_TRUE(lost.empty());
    wall(0.2);
    world.update(0.01f);
    EXPECT_EQ(lost, std::vector<std::uint32_t>{oldHost});
}

TEST_F(Joined, APickThatDoesNotAnswerIsPassedOverAfterFourSeconds)
{
    // The pick and the one after it are copies that are nowhere: nothing
    // answers on the port.
    join({0x9000, 0x9100, self});
    network->handlePacket(kit::NetPeer::Packet{{kit::message::disconnectionNotification}, hostAddress, 1});
    ASSERT_TRUE(migration().seeking());
    const std::string before = testing::internal::GetCapturedStdout();
    testing::internal::CaptureStdout();
    ASSERT_NE(before.find("copy 00009000 hosts the session next"), std::string::npos) << before;
    wall(HostMigration::pickSeconds + 1.0);
    frames(HostMigration::pickSeconds - 0.1f);
    std::string said = testing::internal::GetCapturedStdout();
    testing::internal::CaptureStdout();
    EXPECT_EQ(said.find("did not answer"), std::string::npos) << said;
    frames(0.2f);
    said = testing::internal::GetCapturedStdout();
    testing::internal::CaptureStdout();
    EXPECT_NE(said.find("Copy 00009000 did not answer: copy 00009100 hosts the session next"), std::string::npos)
        << said;
}

TEST_F(Joined, TheNextHostWaitsSixSecondsForTheOthersToComeBack)
{
    // This copy came first: it hosts next, on a port of its own.
    join({self, 0x9000}, 0);
    kit::NetStream relayed; // the other copy's state, through the host
    relayed.write(NetworkSystem::stateUpdateId);
    relayed.write(std::uint32_t{0x9000});
    relayed.write(std::string("game"));
    relayed.write(false);
    network->handlePacket(kit::NetPeer::Packet{bytesOf(relayed), hostAddress, 1});
    network->handlePacket(kit::NetPeer::Packet{{kit::message::disconnectionNotification}, hostAddress, 1});
    ASSERT_EQ(migration().outcome(), HostMigration::Outcome::hostsSession);
    ASSERT_EQ(migration().awaited(), std::set<std::uint32_t>{0x9000});
    wall(HostMigration::awaitSeconds + 1.0);
    frames(HostMigration::awaitSeconds - 0.1f);
    EXPECT_EQ(migration().awaited(), std::set<std::uint32_t>{0x9000});
    EXPECT_TRUE(network->peers().contains(0x9000)) << "its record waits for it meanwhile";
    frames(0.2f);
    EXPECT_TRUE(migration().awaited().empty());
    frames(NetworkSystem::peerSilenceLimit + 0.1f);
    EXPECT_FALSE(network->peers().contains(0x9000)) << "then it lapses as any silent copy's";
}

TEST(PeerSilence, ACopyIsForgottenFiveSecondsAfterItsLastWord)
{
    kit::World world;
    world.origin = self;
    auto* network = new NetworkSystem(30.0f);
    world.addComponent(kit::EntityHandle{world.systemEntity(), &world}, network);
    kit::NetStream state;
    state.write(NetworkSystem::stateUpdateId);
    state.write(std::uint32_t{0x7000});
    state.write(std::string("game"));
    state.write(false);
    network->handlePacket(kit::NetPeer::Packet{bytesOf(state), kit::NetAddress{0x7F000001, 4000}, 1});
    ASSERT_TRUE(network->peers().contains(0x7000));
    world.update(NetworkSystem::peerSilenceLimit - 0.01f);
    EXPECT_TRUE(network->peers().contains(0x7000));
    world.update(0.02f);
    EXPECT_FALSE(network->peers().contains(0x7000));
}

TEST(CallReplayWindows, OwnBatchesAreKeptTenSecondsAndRunsRememberedThirty)
{
    const kit::CallReplay::Bytes made{1, 2, 3}, heard{4, 5, 6};
    auto keptAt = [&](float now) {
        kit::CallReplay replay;
        replay.made(made.data(), made.size(), 0.0f);
        replay.age(now, now); // nothing asks to keep more
        replay.hold(self, 0.0f);
        return replay.held().size();
    };
    EXPECT_EQ(keptAt(kit::CallReplay::keptSeconds - 0.01f), 1u);
    EXPECT_EQ(keptAt(kit::CallReplay::keptSeconds + 0.01f), 0u);
    auto remembered = [&](float now) {
        kit::CallReplay replay;
        replay.heard(heard.data(), heard.size(), 0.0f);
        replay.age(now, now);
        // A replay of the same batch had at the same moment: new only if forgotten.
        return !replay.unseen({heard}, now, {now})[0];
    };
    EXPECT_TRUE(remembered(kit::CallReplay::rememberedSeconds - 0.01f));
    EXPECT_FALSE(remembered(kit::CallReplay::rememberedSeconds + 0.01f));
    // A joined copy holds what it made since a little before its host's last word.
    for (const float made_at : {10.0f - HostMigration::replayMargin, 10.0f - HostMigration::replayMargin - 0.01f}) {
        kit::CallReplay replay;
        replay.made(made.data(), made.size(), made_at);
        replay.hold(self, 10.0f - HostMigration::replayMargin);
        EXPECT_EQ(replay.held().size(), made_at >= 10.0f - HostMigration::replayMargin ? 1u : 0u) << made_at;
    }
}

TEST_F(Joined, TheNextHostTriesAgainWhileTheGoneHostStillHoldsThePort)
{
    // The gone host's port is still taken (its process ending): not yet.
    kit::NetPeer holder;
    ASSERT_TRUE(holder.start(0, 1));
    join({self, 0x9000}, holder.boundPort());
    testing::internal::CaptureStderr();
    network->handlePacket(kit::NetPeer::Packet{{kit::message::disconnectionNotification}, hostAddress, 1});
    EXPECT_TRUE(migration().seeking());
    EXPECT_EQ(migration().outcome(), HostMigration::Outcome::none);
    wall(HostMigration::portRetrySeconds + 0.05);
    frames(HostMigration::portRetrySeconds + 0.05f);
    EXPECT_TRUE(migration().seeking()) << "tried again, still taken";
    // Free now: the next try opens it.
    const std::uint16_t port = holder.boundPort();
    holder.shutdown();
    wall(HostMigration::portRetrySeconds + 0.05);
    frames(HostMigration::portRetrySeconds + 0.05f);
    EXPECT_EQ(migration().outcome(), HostMigration::Outcome::hostsSession);
    EXPECT_EQ(network->peer->boundPort(), port);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Could not open game port"), std::string::npos);
}

TEST_F(Joined, TheNextHostGoesAloneWhenThePortStaysTakenLongerThanAPickIsWaitedFor)
{
    kit::NetPeer holder;
    ASSERT_TRUE(holder.start(0, 1));
    join({self, 0x9000}, holder.boundPort());
    testing::internal::CaptureStderr();
    network->handlePacket(kit::NetPeer::Packet{{kit::message::disconnectionNotification}, hostAddress, 1});
    wall(HostMigration::pickSeconds + 1.0);
    frames(HostMigration::pickSeconds - 0.1f);
    EXPECT_TRUE(migration().seeking());
    frames(0.2f);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(migration().outcome(), HostMigration::Outcome::alone);
}
