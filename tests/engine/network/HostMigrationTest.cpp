// A session outlives its host: copies in one process, connected on loopback
// inside the private network namespace, lose their host (a goodbye, or
// silence) and carry on under the next one, with no call lost or run twice.
#include "engine/network/HostMigration.h"
#include "engine/network/CallReplay.h"
#include "engine/network/NetworkSystem.h"
#include "engine/network/SessionRoster.h"

#include "engine/core/World.h"
#include "engine/network/MessageIdentifiers.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>

#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>

using kit::HostMigration;
using kit::NetworkSystem;

namespace {

constexpr kit::NamedFunction<std::string> recordCall{"record"};

struct SessionCopy {
    kit::World world;
    NetworkSystem* network = new NetworkSystem(30.0f);
    std::vector<std::string> log;
    std::vector<std::pair<std::uint32_t, NetworkSystem::Departure>> gone;
    kit::ScopedConnection watching;
    bool running = true; // a copy that vanished gets no more frames

    explicit SessionCopy(std::uint32_t origin)
    {
        world.origin = origin;
        world.addComponent(kit::EntityHandle{world.systemEntity(), &world}, network);
        network->registerFunction(recordCall,
                                  [this](kit::EntityHandle, const std::string& text) { log.push_back(text); });
        watching = network->copyGone.connect(
            [this](std::uint32_t origin, NetworkSystem::Departure why) { gone.emplace_back(origin, why); });
    }
    void frame()
    {
        if (running)
            world.update(1.0f / 60.0f);
    }
    void say(const std::string& text) { network->callFunction(recordCall, world.systemEntity(), text); }
    [[nodiscard]] std::size_t heard(const std::string& text) const
    {
        return static_cast<std::size_t>(std::count(log.begin(), log.end(), text));
    }
    [[nodiscard]] bool connected() const { return network->peer->connectionCount() > 0; }
    // Gone as a crashed copy goes: no goodbye, no more frames.
    void vanish()
    {
        network->peer->abandon();
        running = false;
    }
};

// Frames on every copy until the condition holds; false after `seconds` of wall clock.
bool runUntil(const std::vector<SessionCopy*>& copies, const std::function<bool()>& done, int seconds = 15)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < end) {
        for (SessionCopy* c : copies)
            c->frame();
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
}

// Frames for a while, for whatever is still on its way to arrive.
void settle(const std::vector<SessionCopy*>& copies)
{
    runUntil(
        copies, [] { return false; }, 1);
}

// A host and clients: every client knows the whole session (the roster).
class HostChange : public ::testing::Test {
protected:
    void open(std::vector<std::uint32_t> origins)
    {
        testing::internal::CaptureStdout();
        for (std::uint32_t origin : origins)
            copies.push_back(std::make_unique<SessionCopy>(origin));
        // The session's port lies below the system's ephemeral range: when
        // the host vanishes, no other test's client socket can take it before
        // the next host opens it again.
        std::random_device entropy;
        for (int attempt = 0; attempt < 20 && port == 0; ++attempt) {
            const auto wanted = static_cast<std::uint16_t>(20000 + entropy() % 12000);
            host().network->host(wanted, 8);
            if (host().network->peer->boundPort() == wanted)
                port = wanted;
        }
        ASSERT_NE(port, 0) << "no free port for the session";
        for (std::size_t i = 1; i < copies.size(); ++i)
            copies[i]->network->join("127.0.0.1", port);
        ASSERT_TRUE(runUntil(all(), [&] {
            for (std::size_t i = 1; i < copies.size(); ++i) {
                const auto& roster = copies[i]->network->migration().roster();
                if (!roster || roster->members.size() != copies.size() - 1)
                    return false;
            }
            return true;
        })) << "the roster did not reach every client";
    }
    void TearDown() override
    {
        copies.clear();
        testing::internal::GetCapturedStdout();
    }
    // The console since the session opened (or since the last look).
    static std::string said()
    {
        std::string text = testing::internal::GetCapturedStdout();
        testing::internal::CaptureStdout();
        return text;
    }
    SessionCopy& host() { return *copies[0]; }
    SessionCopy& copy(std::size_t i) { return *copies[i]; }
    std::vector<SessionCopy*> all()
    {
        std::vector<SessionCopy*> list;
        for (auto& c : copies)
            list.push_back(c.get());
        return list;
    }
    std::vector<SessionCopy*> without(std::size_t i)
    {
        std::vector<SessionCopy*> list = all();
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
        return list;
    }
    // `client` is connected to the copy `hosting` hosts as.
    static bool joinedTo(SessionCopy& client, SessionCopy& hosting)
    {
        return client.connected() && !client.network->isServer && hosting.network->isServer &&
               hosting.network->peers.contains(client.world.origin) &&
               hosting.network->peer->connectionState(hosting.network->peers.at(client.world.origin).address) ==
                   kit::NetPeer::ConnectionState::connected;
    }

    std::vector<std::unique_ptr<SessionCopy>> copies;
    std::uint16_t port = 0;
};

} // namespace

TEST(SessionRosterPacket, HasItsExactLayoutAndReadsBack)
{
    kit::SessionRoster roster;
    roster.host = 0x01020304;
    roster.gamePort = 16519;
    roster.members = {{0x0A0B0C0D, 0x7F000001}, {0x11223344, 0xC0A80007}};
    const kit::NetStream packet = roster.encode();
    const std::vector<std::uint8_t> bytes(packet.data(), packet.data() + packet.bytesUsed());
    // 137, host, port, then 1 bit + origin + address per member (so not byte
    // aligned), and a 0 bit.
    const std::vector<std::uint8_t> expected{0x89, 0x01, 0x02, 0x03, 0x04, 0x40, 0x87, 0x85, 0x05, 0x86, 0x06, 0xBF,
                                             0x80, 0x00, 0x00, 0xC4, 0x48, 0x8C, 0xD1, 0x30, 0x2A, 0x00, 0x01, 0xC0};
    EXPECT_EQ(bytes, expected);
    const auto back = kit::SessionRoster::decode(bytes.data(), bytes.size());
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, roster);
}

TEST(SessionRosterPacket, AnythingElseReadsSafely)
{
    EXPECT_FALSE(kit::SessionRoster::decode(nullptr, 0).has_value());
    const std::uint8_t notARoster[] = {136, 1, 2, 3, 4, 5, 6};
    EXPECT_FALSE(kit::SessionRoster::decode(notARoster, sizeof notARoster).has_value());
    // Cut short in the second member: the first stands.
    kit::SessionRoster roster;
    roster.host = 9;
    roster.members = {{5, 0x7F000001}, {7, 0x7F000001}};
    const kit::NetStream packet = roster.encode();
    const auto cut = kit::SessionRoster::decode(packet.data(), packet.bytesUsed() - 3);
    ASSERT_TRUE(cut.has_value());
    ASSERT_EQ(cut->members.size(), 1u);
    EXPECT_EQ(cut->members[0].origin, 5u);
    // The host listed as a member, a member twice, many members: each copy once, the list bounded.
    kit::NetStream forged;
    forged.write(kit::SessionRoster::id);
    forged.write(std::uint32_t{9});
    forged.write(std::uint16_t{1});
    for (std::uint32_t i = 0; i < 1000; ++i) {
        forged.write(true);
        forged.write(i % 300 == 0 ? 9u : i / 2);
        forged.write(std::uint32_t{1});
    }
    forged.write(false);
    const auto read = kit::SessionRoster::decode(forged.data(), forged.bytesUsed());
    ASSERT_TRUE(read.has_value());
    EXPECT_LE(read->members.size(), kit::SessionRoster::maxMembers);
    EXPECT_FALSE(read->contains(9));
    for (std::size_t i = 1; i < read->members.size(); ++i)
        EXPECT_LT(read->members[i - 1].origin, read->members[i].origin);
}

TEST(SessionRosterChoice, EveryCopyPicksTheLowestOriginLeft)
{
    kit::SessionRoster roster;
    roster.host = 0x10;
    roster.members = {{0x40, 1}, {0x30, 1}, {0x50, 1}};
    EXPECT_EQ(kit::nextHost(roster, 0x50, {0x10}), 0x30u);
    EXPECT_EQ(kit::nextHost(roster, 0x40, {0x10}), 0x30u);
    EXPECT_EQ(kit::nextHost(roster, 0x30, {0x10}), 0x30u);
    EXPECT_EQ(kit::nextHost(roster, 0x50, {0x10, 0x30}), 0x40u) << "a pick that never answered is passed over";
    EXPECT_EQ(kit::nextHost(roster, 0x20, {0x10}), 0x20u) << "this copy counts too";
    EXPECT_FALSE(kit::nextHost(roster, 0x50, {0x10, 0x30, 0x40, 0x50}).has_value());
}

TEST(SessionRosterChoice, ACopyTheHostSawOnLoopbackIsOnTheHostsMachine)
{
    const kit::NetAddress host{0xC0A80005, 16519};
    EXPECT_EQ(kit::reachOf({1, 0x7F000001}, host, 16519), (kit::NetAddress{0xC0A80005, 16519}));
    EXPECT_EQ(kit::reachOf({1, 0xC0A80009}, host, 17000), (kit::NetAddress{0xC0A80009, 17000}));
}

namespace {

kit::CallReplay::Bytes batch(const std::string& text)
{
    return kit::CallReplay::Bytes(text.begin(), text.end());
}

} // namespace

TEST(CallReplayCounting, ABatchRunsOnceHoweverOftenItComes)
{
    kit::CallReplay replay;
    const auto a = batch("a"), b = batch("b"), c = batch("c");
    replay.heard(a.data(), a.size(), 0.0f);
    replay.made(c.data(), c.size(), 0.0f); // this copy's own
    EXPECT_EQ(replay.unseen({a, b, c}, 1.0f), (std::vector<bool>{false, true, false}));
    EXPECT_EQ(replay.unseen({a, b, c}, 1.0f), (std::vector<bool>{false, false, false})) << "replayed twice";
    // The same batch made twice and heard once: the replay holding both runs one.
    EXPECT_EQ(replay.unseen({a, a}, 1.0f), (std::vector<bool>{false, true}));
    // Long forgotten: a batch that old is taken as new.
    const float later = 1.0f + kit::CallReplay::rememberedSeconds + 1.0f;
    replay.age(later, later);
    EXPECT_EQ(replay.unseen({a}, later), (std::vector<bool>{true}));
}

TEST(CallReplayCounting, TheSameBatchMadeAgainLaterIsANewCall)
{
    // A plane that shoots down the same plane twice makes the same batch twice;
    // the second, lost with the host, must run when it is replayed.
    kit::CallReplay here, maker;
    const auto kill = batch("kill 2 by 1");
    maker.made(kill.data(), kill.size(), 10.0f);
    here.heard(kill.data(), kill.size(), 10.1f); // the first went through
    maker.made(kill.data(), kill.size(), 16.0f); // the second never arrived
    maker.hold(15.0f);
    const kit::NetStream packet = maker.packet(7, 18.0f);
    const auto replayed = kit::CallReplay::decodeTimed(packet.data(), packet.bytesUsed());
    ASSERT_EQ(replayed.size(), 1u);
    EXPECT_FLOAT_EQ(replayed[0].age, 2.0f);
    EXPECT_EQ(here.unseen({kill}, 18.2f, {replayed[0].age}), (std::vector<bool>{true}));
    EXPECT_EQ(here.unseen({kill}, 18.3f, {replayed[0].age}), (std::vector<bool>{false})) << "replayed twice";
    // One that arrived near the moment it was had is the same call.
    kit::CallReplay other;
    other.heard(kill.data(), kill.size(), 16.4f);
    EXPECT_EQ(other.unseen({kill}, 18.2f, {replayed[0].age}), (std::vector<bool>{false}));
    // An age that is no number of seconds reads as now.
    kit::NetStream forged;
    forged.write(kit::CallReplay::id);
    forged.write(std::uint32_t{7});
    forged.write(true);
    forged.write(std::numeric_limits<float>::quiet_NaN());
    kit::NetStream nested;
    nested.writeBits(kill.data(), 8 * kill.size());
    forged.write(nested);
    forged.write(false);
    const auto read = kit::CallReplay::decodeTimed(forged.data(), forged.bytesUsed());
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].age, 0.0f);
    EXPECT_EQ(read[0].bytes, kill);
}

TEST(CallReplayCounting, HoldsWhatWasMadeSinceAMomentAndWhatComesAfter)
{
    kit::CallReplay replay;
    for (int i = 0; i < 5; ++i) {
        const auto b = batch("made " + std::to_string(i));
        replay.made(b.data(), b.size(), static_cast<float>(i));
    }
    const auto relayed = batch("heard from the host");
    replay.heard(relayed.data(), relayed.size(), 4.5f);
    replay.hold(2.5f);
    const auto late = batch("late"), theirs = batch("theirs");
    replay.made(late.data(), late.size(), 6.0f);
    replay.keep(theirs);
    EXPECT_EQ(replay.held(),
              (std::vector<kit::CallReplay::Bytes>{batch("made 3"), batch("made 4"), relayed, late, theirs}));
    const kit::NetStream packet = replay.packet(0xAB);
    EXPECT_EQ(kit::CallReplay::decode(packet.data(), packet.bytesUsed()), replay.held());
    replay.release();
    EXPECT_FALSE(replay.holding());
    EXPECT_TRUE(replay.held().empty());
    replay.keep(theirs);
    EXPECT_TRUE(replay.held().empty()) << "nothing is held between changes of host";
}

TEST(CallReplayCounting, OwnBatchesAreKeptAWhileAndLongerWhenTheyMayBeNeeded)
{
    kit::CallReplay replay;
    const auto old = batch("old"), older = batch("older");
    replay.made(older.data(), older.size(), 0.0f);
    replay.made(old.data(), old.size(), 1.0f);
    const float late = 1.5f + kit::CallReplay::keptSeconds;
    replay.age(late, 0.5f); // a joined copy whose host was last heard at 2.5 s
    replay.hold(0.0f);
    EXPECT_EQ(replay.held(), (std::vector<kit::CallReplay::Bytes>{old}));
    replay.release();
    replay.age(late, late); // nothing to keep for
    replay.hold(0.0f);
    EXPECT_TRUE(replay.held().empty());
}

TEST(CallReplayCounting, HoldsABoundedAmount)
{
    testing::internal::CaptureStderr();
    kit::CallReplay replay;
    replay.hold(0.0f);
    const kit::CallReplay::Bytes big(100 * 1024, 0x88);
    for (int i = 0; i < 20; ++i)
        replay.keep(big);
    std::size_t bytes = 0;
    for (const auto& b : replay.held())
        bytes += b.size();
    EXPECT_LE(bytes, kit::CallReplay::maxHeldBytes);
    EXPECT_GE(replay.held().size(), 5u);
    EXPECT_NE(testing::internal::GetCapturedStderr(), "");
}

TEST(CallReplayCounting, AnythingElseDecodesToNothingOrWhatCameWhole)
{
    EXPECT_TRUE(kit::CallReplay::decode(nullptr, 0).empty());
    const std::uint8_t other[] = {136, 0, 1, 'x', 0};
    EXPECT_TRUE(kit::CallReplay::decode(other, sizeof other).empty());
    kit::CallReplay replay;
    replay.hold(0.0f);
    replay.keep(batch("first"));
    replay.keep(batch("second"));
    const kit::NetStream packet = replay.packet(1);
    const auto cut = kit::CallReplay::decode(packet.data(), packet.bytesUsed() - 4);
    EXPECT_EQ(cut, (std::vector<kit::CallReplay::Bytes>{batch("first")}));
    // A nested length larger than the packet: nothing copied, nothing read past the end.
    kit::NetStream forged;
    forged.write(kit::CallReplay::id);
    forged.write(std::uint32_t{1});
    forged.write(true);
    forged.write(std::uint32_t{0xFFFFFFF0});
    EXPECT_TRUE(kit::CallReplay::decode(forged.data(), forged.bytesUsed()).empty());
}

TEST_F(HostChange, TheHostTellsItsClientsWhoIsInTheSessionAndWhere)
{
    open({0x1000, 0x2000, 0x3000});
    for (std::size_t i : {1u, 2u}) {
        const auto& roster = *copy(i).network->migration().roster();
        EXPECT_EQ(roster.host, 0x1000u);
        EXPECT_EQ(roster.gamePort, port);
        ASSERT_EQ(roster.members.size(), 2u);
        EXPECT_EQ(roster.members[0], (kit::SessionRoster::Member{0x2000, 0x7F000001}));
        EXPECT_EQ(roster.members[1], (kit::SessionRoster::Member{0x3000, 0x7F000001}));
        EXPECT_EQ(copy(i).network->migration().host(), 0x1000u);
    }
    EXPECT_FALSE(host().network->migration().roster().has_value()) << "the host's own roster is never sent to it";
    // A copy that leaves is gone from the roster at once.
    copy(2).network->reset();
    ASSERT_TRUE(
        runUntil({&host(), &copy(1)}, [&] { return copy(1).network->migration().roster()->members.size() == 1; }));
    EXPECT_FALSE(copy(1).network->migration().roster()->contains(0x3000));
}

TEST_F(HostChange, AHostThatLeavesIsFollowedByTheLowestOriginAndOnlyTheHostGoes)
{
    open({0x1000, 0x3000, 0x2000});
    SessionCopy &high = copy(1), &low = copy(2);
    ASSERT_TRUE(runUntil(all(), [&] { return high.network->peers.size() == 2 && low.network->peers.size() == 2; }));
    host().network->reset();
    host().running = false;
    ASSERT_TRUE(runUntil({&low, &high}, [&] { return joinedTo(high, low); }));
    EXPECT_TRUE(low.network->isServer);
    EXPECT_EQ(low.network->peer->boundPort(), port) << "the next host opens the session's game port";
    EXPECT_EQ(low.network->migration().outcome(), HostMigration::Outcome::hostsSession);
    EXPECT_EQ(high.network->migration().outcome(), HostMigration::Outcome::joinedNextHost);
    EXPECT_EQ(high.network->migration().host(), 0x2000u);
    EXPECT_EQ(low.network->migration().lostHost(), 0x1000u);
    for (SessionCopy* c : {&low, &high}) {
        ASSERT_EQ(c->gone.size(), 1u) << "only the host went";
        EXPECT_EQ(c->gone[0], std::make_pair(std::uint32_t{0x1000}, NetworkSystem::Departure::left));
        EXPECT_FALSE(c->network->peers.contains(0x1000));
    }
    EXPECT_TRUE(high.network->peers.contains(0x2000));
    // The session goes on: calls either way, and the next host's roster.
    high.say("up");
    low.say("down");
    ASSERT_TRUE(runUntil({&low, &high}, [&] {
        return low.heard("up") == 1 && high.heard("down") == 1 &&
               high.network->migration().roster()->members.size() == 1;
    }));
    EXPECT_EQ(high.network->migration().roster()->host, 0x2000u);
    settle({&low, &high});
    EXPECT_TRUE(low.gone.size() == 1 && high.gone.size() == 1) << "nobody else was let go meanwhile";
    const std::string console = said();
    EXPECT_NE(console.find("The session's host has gone: this copy hosts the session now\n"), std::string::npos);
    EXPECT_NE(console.find("The session's host has gone: copy 00002000 hosts the session next\n"), std::string::npos);
    EXPECT_NE(console.find("Joined copy 00002000, the session's new host\n"), std::string::npos);
    EXPECT_NE(console.find("Copy 00003000 is back in the session\n"), std::string::npos);
}

TEST_F(HostChange, AHostThatFallsSilentIsFollowedAndNoCallIsLostOrRunTwice)
{
    open({0x1000, 0x2000, 0x3000});
    SessionCopy &next = copy(1), &other = copy(2);
    // Before: a call that reached everyone already.
    next.say("before");
    ASSERT_TRUE(runUntil(all(), [&] { return other.heard("before") == 1 && host().heard("before") == 1; }));
    host().vanish();
    // Sent to a host that no longer answers; then made while looking for the next.
    other.say("into the void");
    next.say("also into the void");
    ASSERT_TRUE(
        runUntil({&next, &other}, [&] { return other.network->migration().seeking() || next.network->isServer; }));
    other.say("while seeking");
    ASSERT_TRUE(runUntil({&next, &other}, [&] { return joinedTo(other, next); }));
    other.say("after");
    ASSERT_TRUE(runUntil({&next, &other}, [&] {
        return next.heard("into the void") == 1 && next.heard("while seeking") == 1 && next.heard("after") == 1 &&
               other.heard("also into the void") == 1;
    }));
    settle({&next, &other});
    for (SessionCopy* c : {&next, &other}) {
        for (const char* line : {"before", "into the void", "also into the void", "while seeking", "after"})
            EXPECT_EQ(c->heard(line), 1u) << line << " on copy " << std::hex << c->world.origin;
        ASSERT_EQ(c->gone.size(), 1u);
        EXPECT_EQ(c->gone[0], std::make_pair(std::uint32_t{0x1000}, NetworkSystem::Departure::silent));
    }
    // The order of one copy's calls holds.
    const auto at = [&](const std::string& line) { return std::find(next.log.begin(), next.log.end(), line); };
    EXPECT_LT(at("into the void"), at("while seeking"));
    EXPECT_LT(at("while seeking"), at("after"));
}

TEST_F(HostChange, TheNextHostRunsTheOldHostsCallsThatOnlyAnotherCopyHeard)
{
    // The old host's last word reached one copy; the next host joined just
    // after it was said. The replay brings it over, and it is the old host's
    // own call, not the replaying copy's.
    open({0x1000, 0x3000});
    SessionCopy& other = copy(1);
    host().say("last word");
    ASSERT_TRUE(runUntil(all(), [&] { return other.heard("last word") == 1; }));
    copies.push_back(std::make_unique<SessionCopy>(0x2000));
    SessionCopy& next = *copies.back();
    next.network->join("127.0.0.1", port);
    ASSERT_TRUE(runUntil(all(), [&] {
        const auto& roster = other.network->migration().roster();
        return joinedTo(next, host()) && roster && roster->members.size() == 2;
    }));
    ASSERT_EQ(next.heard("last word"), 0u);
    host().vanish();
    ASSERT_TRUE(runUntil({&next, &other}, [&] { return joinedTo(other, next) && next.heard("last word") == 1; }));
    // A replay may also come after its copy's state made it known to the
    // next host: it is judged the same, as calls of their makers.
    ASSERT_TRUE(runUntil({&next, &other}, [&] { return next.network->peers.contains(0x3000); }));
    kit::NetStream arguments;
    arguments.write(kit::EntityID{0x1000, 0});
    arguments.write(std::string("in flight"));
    kit::NetStream batch;
    batch.write(NetworkSystem::remoteCallsId);
    batch.write(std::string(recordCall.name));
    batch.write(arguments);
    batch.write(std::uint8_t{0});
    kit::CallReplay held;
    held.made(batch.data(), batch.bytesUsed(), 0.0f);
    held.hold(0.0f);
    const kit::NetStream replay = held.packet(0x3000, 0.0f);
    next.network->handlePacket(kit::NetPeer::Packet{
        std::vector<std::uint8_t>(replay.data(), replay.data() + replay.bytesUsed()),
        next.network->peers.at(0x3000).address, 0});
    settle({&next, &other});
    EXPECT_EQ(next.heard("last word"), 1u);
    EXPECT_EQ(other.heard("last word"), 1u);
    EXPECT_EQ(next.heard("in flight"), 1u);
    EXPECT_EQ(said().find("not theirs to call"), std::string::npos);
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

TEST_F(HostChange, APickThatNeverAnswersIsPassedOver)
{
    open({0x1000, 0x2000, 0x3000, 0x4000});
    SessionCopy &third = copy(2), &fourth = copy(3);
    // The host and the copy every other would pick vanish together.
    host().vanish();
    copy(1).vanish();
    ASSERT_TRUE(runUntil(
        {&third, &fourth}, [&] { return joinedTo(fourth, third); }, 25));
    EXPECT_EQ(fourth.network->migration().host(), 0x3000u);
    settle({&third, &fourth});
    for (SessionCopy* c : {&third, &fourth}) {
        EXPECT_FALSE(c->network->peers.contains(0x2000)) << "the pick that never came back is let go";
        EXPECT_TRUE(std::any_of(c->gone.begin(), c->gone.end(), [](const auto& g) { return g.first == 0x2000u; }));
    }
}

TEST_F(HostChange, ACopyLeftAloneHostsItsOwnGames)
{
    open({0x1000, 0x2000});
    SessionCopy& client = copy(1);
    bool resumed = false;
    kit::ScopedConnection watch = client.network->migration().resumed.connect([&](std::uint32_t h) {
        resumed = true;
        EXPECT_EQ(h, 0x2000u);
    });
    host().network->reset();
    host().running = false;
    ASSERT_TRUE(
        runUntil({&client}, [&] { return client.network->migration().outcome() != HostMigration::Outcome::none; }));
    EXPECT_EQ(client.network->migration().outcome(), HostMigration::Outcome::alone);
    EXPECT_TRUE(client.network->isServer);
    EXPECT_FALSE(client.network->peer->isActive());
    EXPECT_TRUE(client.network->peers.empty());
    EXPECT_TRUE(resumed);
    // Leaving for the menus forgets it.
    client.network->reset();
    EXPECT_EQ(client.network->migration().outcome(), HostMigration::Outcome::none);
}

namespace {

// A host that speaks the state and call protocol but knows nothing of rosters.
struct RosterlessHost {
    kit::NetPeer peer;
    void start()
    {
        peer.start(0, 4);
        peer.setMaximumIncomingConnections(4);
    }
    void frame(std::uint32_t origin, std::uint32_t relayed)
    {
        kit::NetPeer::Packet p;
        while (peer.receive(p)) {
        }
        for (std::uint32_t o : {origin, relayed}) {
            kit::NetStream state;
            state.write(NetworkSystem::stateUpdateId);
            state.write(o);
            state.write(std::string("game"));
            state.write(false);
            peer.broadcast(state.data(), state.bytesUsed(), kit::NetPeer::Reliability::unreliableSequenced, 0);
        }
    }
};

} // namespace

TEST(SessionWithoutRoster, ACopyWhoseHostNeverToldItTheSessionGoesAlone)
{
    testing::internal::CaptureStdout();
    RosterlessHost old;
    old.start();
    SessionCopy client(0x2000);
    client.network->join("127.0.0.1", old.peer.boundPort());
    ASSERT_TRUE(runUntil({&client}, [&] {
        old.frame(0x1000, 0x3000);
        return client.network->peers.size() == 2;
    }));
    old.peer.shutdown();
    ASSERT_TRUE(runUntil({&client}, [&] { return client.network->isServer; }));
    EXPECT_EQ(client.network->migration().outcome(), HostMigration::Outcome::alone);
    EXPECT_TRUE(client.network->peers.empty()) << "every copy heard through the host goes with it";
    EXPECT_EQ(client.gone.size(), 2u);
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_NE(console.find("We have been disconnected.\n"), std::string::npos);
    EXPECT_NE(console.find("The session's host has gone: this copy hosts its own games now\n"), std::string::npos);
}

TEST(SessionOutsiders, ReplaysAndRostersCountOnlyInASession)
{
    testing::internal::CaptureStdout();
    SessionCopy loner(0x5000);
    int ran = 0;
    loner.network->registerFunction(kit::NamedFunction<>{"count"}, [&](kit::EntityHandle) { ++ran; });
    kit::NetStream calls;
    kit::NetStream arguments;
    arguments.write(kit::EntityID{0x6000, 1});
    calls.write(NetworkSystem::remoteCallsId);
    calls.write(std::string("count"));
    calls.write(arguments);
    calls.write(std::uint8_t{0});
    kit::CallReplay held;
    held.hold(0.0f);
    held.keep(kit::CallReplay::Bytes(calls.data(), calls.data() + calls.bytesUsed()));
    const kit::NetStream replay = held.packet(0x6000);
    kit::SessionRoster roster;
    roster.host = 0x6000;
    roster.members = {{0x5000, 0x7F000001}};
    const kit::NetStream rosterPacket = roster.encode();
    const kit::NetAddress stranger{0x7F000001, 40000};
    // A connection opens, then a replay and a roster come through it: this
    // copy neither hosts nor joined anyone.
    for (const kit::NetStream* p : {&replay, &rosterPacket}) {
        loner.network->handlePacket(kit::NetPeer::Packet{{kit::message::newIncomingConnection}, stranger, 7});
        loner.network->handlePacket(kit::NetPeer::Packet{{p->data(), p->data() + p->bytesUsed()}, stranger, 7});
    }
    EXPECT_EQ(ran, 0);
    EXPECT_FALSE(loner.network->migration().roster().has_value());
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_EQ(console.find("Message with identifier"), std::string::npos) << "known messages, handled quietly";
}
