// What the calls of a session go through when its host goes: each copy
// replays its own to the next host, which takes them from the session's
// copies for a while after the change and passes them on in their makers'
// names, so that a copy back late hears them too.
#include "HostMigrationFixture.h"
#include "engine/network/HostMigration.h"

#include "engine/core/World.h"
#include "engine/network/CallReplay.h"
#include "engine/network/NetworkSystem.h"

#include <gtest/gtest.h>

#include <chrono>

using kit::HostMigration;
using kit::NetworkSystem;
using test::HostChange;
using test::recordCall;
using test::runUntil;
using test::SessionCopy;
using test::settle;

namespace {

// A replay of one "record" call about `about`, in the name of `maker`.
kit::NetStream replayOf(std::uint32_t maker, kit::EntityID about, const std::string& text)
{
    kit::NetStream arguments;
    arguments.write(about);
    arguments.write(text);
    kit::NetStream batch;
    batch.write(NetworkSystem::remoteCallsId);
    batch.write(std::string(recordCall.name));
    batch.write(arguments);
    batch.write(std::uint8_t{0});
    const kit::CallReplay::Held held{maker, 0.0f,
                                     kit::CallReplay::Bytes(batch.data(), batch.data() + batch.bytesUsed())};
    return kit::CallReplay::packet(maker, {held}, 0.0f);
}

void deliver(SessionCopy& to, const kit::NetStream& packet, const kit::NetAddress& from)
{
    to.network->handlePacket(
        kit::NetPeer::Packet{std::vector<std::uint8_t>(packet.data(), packet.data() + packet.bytesUsed()), from, 0});
}

} // namespace

TEST_F(HostChange, ACopyReplaysOnlyItsOwnCallsAndNobodySpeaksForTheOldHost)
{
    // The old host's last word reached the copy that hosts next; a copy that
    // joined after it was said never hears it: nobody replays another's calls.
    open({0x1000, 0x3000});
    SessionCopy& next = copy(1);
    host().say("last word");
    ASSERT_TRUE(runUntil(all(), [&] { return next.heard("last word") == 1; }));
    copies.push_back(std::make_unique<SessionCopy>(0x2000));
    SessionCopy& late = *copies.back();
    late.network->join("127.0.0.1", port);
    ASSERT_TRUE(runUntil(all(), [&] {
        const auto& roster = next.network->migration().roster();
        return joinedTo(late, host()) && roster && roster->members.size() == 2;
    }));
    host().vanish();
    late.say("into the void");
    ASSERT_TRUE(runUntil({&next, &late}, [&] { return joinedTo(late, next) && next.heard("into the void") == 1; }));
    ASSERT_TRUE(runUntil({&next, &late}, [&] { return next.network->peers().contains(0x2000); }));
    settle({&next, &late});
    EXPECT_EQ(late.heard("last word"), 0u);

    // Forged replays through the late copy's connection: in the old host's
    // name, about the next host's own entity, and its own (which passes).
    testing::internal::CaptureStderr();
    const kit::NetAddress lateAddress = next.network->peers().at(0x2000).address;
    deliver(next, replayOf(0x1000, {0x1000, 0}, "as the old host"), lateAddress);
    settle({&next, &late}); // a second apart: each refusal has its own line
    deliver(next, replayOf(0x2000, {0x3000, 0}, "about the host's own"), lateAddress);
    deliver(next, replayOf(0x2000, {0x2000, 0}, "in flight"), lateAddress);
    settle({&next, &late});
    const std::string refusals = testing::internal::GetCapturedStderr();
    EXPECT_EQ(next.heard("as the old host"), 0u);
    EXPECT_EQ(next.heard("about the host's own"), 0u);
    EXPECT_EQ(next.heard("in flight"), 1u);
    EXPECT_NE(refusals.find("a call replay of calls copy 00001000 made"), std::string::npos) << refusals;
    EXPECT_NE(refusals.find("\"record\" about entity 00003000:0, which is not theirs to call"), std::string::npos)
        << refusals;
}

TEST_F(HostChange, AReplayIsTakenOnlyWhileTheSessionChangesHostAndFromItsCopies)
{
    open({0x1000, 0x2000, 0x3000});
    SessionCopy &client = copy(1), &other = copy(2);
    testing::internal::CaptureStderr();
    // No change of host under way: neither the host nor a client takes one.
    deliver(host(), replayOf(0x2000, {0x2000, 0}, "to the host"), host().network->peers().at(0x2000).address);
    const kit::NetAddress hostAddress = client.network->peers().at(0x1000).address;
    deliver(client, replayOf(0x1000, {0x1000, 0}, "to a client"), hostAddress);
    settle(all());
    EXPECT_EQ(host().heard("to the host"), 0u);
    EXPECT_EQ(client.heard("to a client"), 0u);
    // After the change, from a copy that was not in the session.
    host().vanish();
    ASSERT_TRUE(runUntil({&client, &other}, [&] { return joinedTo(other, client); }));
    copies.push_back(std::make_unique<SessionCopy>(0x7000));
    SessionCopy& stranger = *copies.back();
    // The next host's game port is the session's.
    stranger.network->join("127.0.0.1", port);
    ASSERT_TRUE(runUntil({&client, &other, &stranger}, [&] { return client.network->peers().contains(0x7000); }));
    deliver(client, replayOf(0x7000, {0x7000, 0}, "from a stranger"), client.network->peers().at(0x7000).address);
    settle({&client, &other, &stranger});
    EXPECT_EQ(client.heard("from a stranger"), 0u);
    const std::string refusals = testing::internal::GetCapturedStderr();
    EXPECT_NE(refusals.find("a call replay while the session is not changing host"), std::string::npos) << refusals;
    EXPECT_NE(refusals.find("a call replay from a copy that was not in the session"), std::string::npos) << refusals;
}

TEST_F(HostChange, AReplayIsTakenForAWhileAfterTheChangeAndNoLonger)
{
    open({0x1000, 0x2000, 0x3000});
    SessionCopy &next = copy(1), &other = copy(2);
    host().vanish();
    ASSERT_TRUE(runUntil({&next, &other}, [&] { return joinedTo(other, next); }));
    ASSERT_TRUE(runUntil({&next, &other}, [&] { return next.network->peers().contains(0x3000); }));
    const kit::NetAddress from = next.network->peers().at(0x3000).address;
    // Frames run on beyond the window; the wall clock is set just inside it,
    // then just outside (both clocks must have run past it).
    constexpr float step = 1.0f / 30.0f;
    for (float t = 0.0f; t < HostMigration::replayWindow + 1.0f; t += step) {
        for (SessionCopy* c : {&next, &other})
            c->world.update(step);
    }
    HostMigration& migration = next.network->migration();
    auto wallAt = [&](double seconds) {
        migration.wallShift += std::chrono::duration_cast<std::chrono::steady_clock::duration>(
            std::chrono::duration<double>(seconds - migration.secondsSinceChange()));
    };
    testing::internal::CaptureStderr();
    wallAt(HostMigration::replayWindow - 0.05);
    deliver(next, replayOf(0x3000, {0x3000, 0}, "just in time"), from);
    wallAt(HostMigration::replayWindow + 0.05);
    deliver(next, replayOf(0x3000, {0x3000, 0}, "too late"), from);
    const std::string refusals = testing::internal::GetCapturedStderr();
    EXPECT_EQ(next.heard("just in time"), 1u);
    EXPECT_EQ(next.heard("too late"), 0u);
    EXPECT_NE(refusals.find("a call replay long after the session changed host"), std::string::npos) << refusals;
}

TEST_F(HostChange, ACopyThatComesBackLateGetsWhatTheOthersSaidMeanwhile)
{
    open({0x1000, 0x2000, 0x3000, 0x4000});
    SessionCopy &next = copy(1), &prompt = copy(2), &late = copy(3);
    host().vanish();
    late.running = false; // stalls: it notices nothing for a while
    ASSERT_TRUE(runUntil({&next, &prompt}, [&] { return joinedTo(prompt, next); }));
    next.say("from the next host");
    prompt.say("from a copy that is back");
    ASSERT_TRUE(runUntil({&next, &prompt}, [&] { return next.heard("from a copy that is back") == 1; }));
    late.running = true;
    ASSERT_TRUE(runUntil({&next, &prompt, &late}, [&] {
        return joinedTo(late, next) && late.heard("from the next host") == 1 &&
               late.heard("from a copy that is back") == 1;
    }));
    settle({&next, &prompt, &late});
    EXPECT_EQ(late.heard("from the next host"), 1u);
    EXPECT_EQ(late.heard("from a copy that is back"), 1u);
    EXPECT_EQ(prompt.heard("from the next host"), 1u);
    EXPECT_TRUE(next.network->migration().awaited().empty());
    for (SessionCopy* c : {&next, &prompt, &late}) {
        ASSERT_EQ(c->gone.size(), 1u) << std::hex << c->world.origin;
        EXPECT_EQ(c->gone[0].first, 0x1000u);
    }
}

TEST_F(HostChange, ACallReplayedToTheNextHostReachesEveryCopyInItsMakersName)
{
    open({0x1000, 0x2000, 0x3000, 0x4000, 0x5000});
    SessionCopy &next = copy(1), &prompt = copy(2), &replayer = copy(3), &late = copy(4);
    late.running = false;
    host().vanish();
    // Sent to the host that is gone: only its maker's replay brings it to the others.
    replayer.say("into the void");
    replayer.frame();
    replayer.running = false;
    ASSERT_TRUE(runUntil({&next, &prompt}, [&] { return joinedTo(prompt, next); }));
    replayer.running = true;
    ASSERT_TRUE(runUntil({&next, &prompt, &replayer}, [&] {
        return joinedTo(replayer, next) && prompt.heard("into the void") == 1;
    })) << "a copy already back hears the replayed call from the new host";
    // A copy that comes back after the replay gets it with the new host's own.
    late.running = true;
    ASSERT_TRUE(runUntil(all(), [&] { return joinedTo(late, next) && late.heard("into the void") == 1; }));
    settle({&next, &prompt, &replayer, &late});
    for (SessionCopy* c : {&next, &prompt, &late})
        EXPECT_EQ(c->heard("into the void"), 1u) << std::hex << c->world.origin;
    // From the new host: its own calls, and nobody's in the old host's name.
    const kit::NetAddress newHost = prompt.network->peers().at(0x2000).address;
    deliver(prompt, replayOf(0x1000, {0x1000, 0}, "as the old host"), newHost);
    deliver(prompt, replayOf(0x2000, {0x2000, 0}, "the new host's own"), newHost);
    EXPECT_EQ(prompt.heard("as the old host"), 0u);
    EXPECT_EQ(prompt.heard("the new host's own"), 1u);
}
