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
        // One after the other: the session's order of arrival is the order listed.
        for (std::size_t i = 1; i < copies.size(); ++i) {
            copies[i]->network->join("127.0.0.1", port);
            ASSERT_TRUE(runUntil(all(), [&] { return host().network->peers().contains(copies[i]->world.origin); }));
        }
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
        // The failures' own lines went to the captured console too.
        const std::string console = testing::internal::GetCapturedStdout();
        if (HasFailure())
            std::cout << console;
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
        return client.connected() && !client.network->isServer() && hosting.network->isServer() &&
               hosting.network->peers().contains(client.world.origin) &&
               hosting.network->peer->connectionState(hosting.network->peers().at(client.world.origin).address) ==
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
    roster.sequence = 0x0A000007;
    roster.members = {{0x11223344, 0xC0A80007}, {0x0A0B0C0D, 0x7F000001}};
    const kit::NetStream packet = roster.encode();
    const std::vector<std::uint8_t> bytes(packet.data(), packet.data() + packet.bytesUsed());
    // 137, host, port, sequence, then 1 bit + origin + address per member,
    // oldest first (so not byte aligned), and a 0 bit.
    const std::vector<std::uint8_t> expected{0x89, 0x01, 0x02, 0x03, 0x04, 0x40, 0x87, 0x0A, 0x00, 0x00,
                                             0x07, 0x88, 0x91, 0x19, 0xA2, 0x60, 0x54, 0x00, 0x03, 0xC2,
                                             0x82, 0xC3, 0x03, 0x5F, 0xC0, 0x00, 0x00, 0x40};
    EXPECT_EQ(bytes, expected);
    const auto back = kit::SessionRoster::decode(bytes.data(), bytes.size());
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, roster) << "the order of arrival is kept";
}

TEST(SessionRosterPacket, AnythingElseReadsSafely)
{
    EXPECT_FALSE(kit::SessionRoster::decode(nullptr, 0).has_value());
    const std::uint8_t notARoster[] = {136, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    EXPECT_FALSE(kit::SessionRoster::decode(notARoster, sizeof notARoster).has_value());
    // A header without its sequence is no roster.
    kit::SessionRoster roster;
    roster.host = 9;
    roster.members = {{7, 0x7F000001}, {5, 0x7F000001}};
    const kit::NetStream packet = roster.encode();
    EXPECT_FALSE(kit::SessionRoster::decode(packet.data(), 1 + 4 + 2 + 3).has_value());
    EXPECT_TRUE(kit::SessionRoster::decode(packet.data(), 1 + 4 + 2 + 4).has_value());
    // Cut short in the second member: the first stands.
    const auto cut = kit::SessionRoster::decode(packet.data(), packet.bytesUsed() - 3);
    ASSERT_TRUE(cut.has_value());
    ASSERT_EQ(cut->members.size(), 1u);
    EXPECT_EQ(cut->members[0].origin, 7u);
    // The host listed as a member, a member twice, many members: each copy
    // once, at its first place, the list bounded.
    kit::NetStream forged;
    forged.write(kit::SessionRoster::id);
    forged.write(std::uint32_t{9});
    forged.write(std::uint16_t{1});
    forged.write(std::uint32_t{1});
    for (std::uint32_t i = 0; i < 1000; ++i) {
        forged.write(true);
        forged.write(i % 300 == 0 ? 9u : 1000u - i / 2);
        forged.write(std::uint32_t{1});
    }
    forged.write(false);
    const auto read = kit::SessionRoster::decode(forged.data(), forged.bytesUsed());
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->members.size(), kit::SessionRoster::maxMembers);
    EXPECT_FALSE(read->contains(9));
    for (std::size_t i = 1; i < read->members.size(); ++i)
        EXPECT_GT(read->members[i - 1].origin, read->members[i].origin);
}

TEST(SessionRosterChoice, EveryCopyPicksTheMemberThatCameFirst)
{
    kit::SessionRoster roster;
    roster.host = 0x10;
    roster.members = {{0x40, 1}, {0x30, 1}, {0x50, 1}};
    EXPECT_EQ(kit::nextHost(roster, {0x10}), 0x40u) << "the origins decide nothing";
    EXPECT_EQ(kit::nextHost(roster, {0x10, 0x40}), 0x30u) << "a pick that never answered is passed over";
    EXPECT_EQ(kit::nextHost(roster, {0x10, 0x40, 0x30}), 0x50u);
    EXPECT_FALSE(kit::nextHost(roster, {0x10, 0x30, 0x40, 0x50}).has_value());
}

TEST(SessionRosterChoice, ACopyThatJoinedLastChangesNobodysPick)
{
    // The host's last roster named a copy that joined just before it went;
    // some copies had it, others only the roster before. A late joiner, the
    // lowest origin of all, is picked by nobody, and picks with the others.
    kit::SessionRoster before;
    before.host = 0x50;
    before.sequence = 7;
    before.members = {{0x40, 1}, {0x30, 1}};
    kit::SessionRoster after = before;
    after.sequence = 8;
    after.members.push_back({0x01, 1});
    EXPECT_EQ(kit::nextHost(before, {0x50}), kit::nextHost(after, {0x50}));
    EXPECT_EQ(kit::nextHost(after, {0x50}), 0x40u);
    // With every older copy gone, the late one is next for those who know it,
    // and nobody at all for those who do not: they never pick a stranger.
    EXPECT_EQ(kit::nextHost(after, {0x50, 0x40, 0x30}), 0x01u);
    EXPECT_FALSE(kit::nextHost(before, {0x50, 0x40, 0x30}).has_value());
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

std::vector<kit::CallReplay::Bytes> bytesOf(const std::vector<kit::CallReplay::Held>& held)
{
    std::vector<kit::CallReplay::Bytes> out;
    for (const auto& h : held)
        out.push_back(h.bytes);
    return out;
}

std::vector<kit::CallReplay::Bytes> bytesOf(const std::optional<kit::CallReplay::Decoded>& decoded)
{
    std::vector<kit::CallReplay::Bytes> out;
    if (decoded) {
        for (const auto& r : decoded->batches)
            out.push_back(r.bytes);
    }
    return out;
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
    maker.hold(7, 15.0f);
    const std::vector<kit::NetStream> packets = maker.packets(18.0f);
    ASSERT_EQ(packets.size(), 1u);
    const auto replayed = kit::CallReplay::decode(packets[0].data(), packets[0].bytesUsed());
    ASSERT_TRUE(replayed.has_value());
    EXPECT_EQ(replayed->maker, 7u);
    ASSERT_EQ(replayed->batches.size(), 1u);
    const float age = replayed->batches[0].age;
    EXPECT_FLOAT_EQ(age, 2.0f);
    EXPECT_EQ(here.unseen({kill}, 18.2f, {age}), (std::vector<bool>{true}));
    EXPECT_EQ(here.unseen({kill}, 18.3f, {age}), (std::vector<bool>{false})) << "replayed twice";
    // One that arrived near the moment it was had is the same call; a moment
    // just too far apart is another.
    kit::CallReplay other, apart;
    other.heard(kill.data(), kill.size(), 16.2f + kit::CallReplay::sameMomentSeconds - 0.01f);
    EXPECT_EQ(other.unseen({kill}, 18.2f, {age}), (std::vector<bool>{false}));
    apart.heard(kill.data(), kill.size(), 16.2f + kit::CallReplay::sameMomentSeconds + 0.01f);
    EXPECT_EQ(apart.unseen({kill}, 18.2f, {age}), (std::vector<bool>{true}));
    // An age that is no number of seconds, or beyond what anyone keeps, reads as now.
    for (const float forgedAge : {std::numeric_limits<float>::quiet_NaN(), -0.01f,
                                  kit::CallReplay::keptSeconds + kit::CallReplay::rememberedSeconds + 0.01f}) {
        kit::NetStream forged;
        forged.write(kit::CallReplay::id);
        forged.write(std::uint32_t{7});
        forged.write(true);
        forged.write(forgedAge);
        kit::NetStream nested;
        nested.writeBits(kill.data(), 8 * kill.size());
        forged.write(nested);
        forged.write(false);
        const auto read = kit::CallReplay::decode(forged.data(), forged.bytesUsed());
        ASSERT_TRUE(read.has_value());
        ASSERT_EQ(read->batches.size(), 1u);
        EXPECT_EQ(read->batches[0].age, 0.0f) << forgedAge;
        EXPECT_EQ(read->batches[0].bytes, kill);
    }
    const float oldest = kit::CallReplay::keptSeconds + kit::CallReplay::rememberedSeconds;
    kit::CallReplay::Held h{7, 0.0f, kill};
    const kit::NetStream longAgo = kit::CallReplay::packet(7, {h}, oldest);
    EXPECT_FLOAT_EQ(kit::CallReplay::decode(longAgo.data(), longAgo.bytesUsed())->batches[0].age, oldest);
}

TEST(CallReplayCounting, HoldsOnlyItsOwnCallsSinceAMomentAndWhatItIsGiven)
{
    kit::CallReplay replay;
    for (int i = 0; i < 5; ++i) {
        const auto b = batch("made " + std::to_string(i));
        replay.made(b.data(), b.size(), static_cast<float>(i));
    }
    const auto relayed = batch("heard from the host");
    replay.heard(relayed.data(), relayed.size(), 4.5f);
    replay.hold(0xAB, 2.5f);
    const auto late = batch("late"), theirs = batch("theirs");
    replay.made(late.data(), late.size(), 6.0f);
    replay.keep(0xCD, theirs);
    replay.made(late.data(), late.size(), 7.0f);
    EXPECT_EQ(bytesOf(replay.held()),
              (std::vector<kit::CallReplay::Bytes>{batch("made 3"), batch("made 4"), late, theirs, late}))
        << "nobody speaks for the host: what was heard is no copy's own";
    // One packet per run of one maker's batches, in order.
    const std::vector<kit::NetStream> packets = replay.packets(8.0f);
    ASSERT_EQ(packets.size(), 3u);
    const std::vector<std::uint32_t> makers{0xAB, 0xCD, 0xAB};
    const std::vector<std::vector<kit::CallReplay::Bytes>> contents{
        {batch("made 3"), batch("made 4"), late}, {theirs}, {late}};
    for (std::size_t i = 0; i < packets.size(); ++i) {
        const auto decoded = kit::CallReplay::decode(packets[i].data(), packets[i].bytesUsed());
        ASSERT_TRUE(decoded.has_value());
        EXPECT_EQ(decoded->maker, makers[i]);
        EXPECT_EQ(bytesOf(decoded), contents[i]);
    }
    replay.release();
    EXPECT_FALSE(replay.holding());
    EXPECT_TRUE(replay.held().empty());
    replay.keep(0xCD, theirs);
    EXPECT_TRUE(replay.held().empty()) << "nothing is held between changes of host";
    EXPECT_TRUE(replay.packets().empty());
}

TEST(CallReplayCounting, OwnBatchesAreKeptAWhileAndLongerWhenTheyMayBeNeeded)
{
    kit::CallReplay replay;
    const auto old = batch("old"), older = batch("older");
    replay.made(older.data(), older.size(), 0.0f);
    replay.made(old.data(), old.size(), 1.0f);
    const float late = 1.5f + kit::CallReplay::keptSeconds;
    replay.age(late, 0.5f); // a joined copy whose host was last heard at 2.5 s
    replay.hold(1, 0.0f);
    EXPECT_EQ(bytesOf(replay.held()), (std::vector<kit::CallReplay::Bytes>{old}));
    replay.release();
    replay.age(late, late); // nothing to keep for
    replay.hold(1, 0.0f);
    EXPECT_TRUE(replay.held().empty());
}

TEST(CallReplayCounting, HoldsABoundedAmount)
{
    testing::internal::CaptureStderr();
    kit::CallReplay replay;
    replay.hold(1, 0.0f);
    const kit::CallReplay::Bytes big(100 * 1024, 0x88);
    for (int i = 0; i < 20; ++i)
        replay.keep(2, big);
    std::size_t bytes = 0;
    for (const auto& h : replay.held())
        bytes += h.bytes.size();
    EXPECT_LE(bytes, kit::CallReplay::maxHeldBytes);
    EXPECT_GE(replay.held().size(), 5u);
    EXPECT_NE(testing::internal::GetCapturedStderr(), "");
}

TEST(CallReplayCounting, AnythingElseDecodesToNothingOrWhatCameWhole)
{
    EXPECT_FALSE(kit::CallReplay::decode(nullptr, 0).has_value());
    const std::uint8_t other[] = {136, 0, 1, 'x', 0};
    EXPECT_FALSE(kit::CallReplay::decode(other, sizeof other).has_value());
    kit::CallReplay replay;
    replay.hold(1, 0.0f);
    replay.keep(1, batch("first"));
    replay.keep(1, batch("second"));
    const kit::NetStream packet = replay.packets()[0];
    const auto cut = kit::CallReplay::decode(packet.data(), packet.bytesUsed() - 4);
    EXPECT_EQ(bytesOf(cut), (std::vector<kit::CallReplay::Bytes>{batch("first")}));
    // A nested length larger than the packet: nothing copied, nothing read past the end.
    kit::NetStream forged;
    forged.write(kit::CallReplay::id);
    forged.write(std::uint32_t{1});
    forged.write(true);
    forged.write(0.0f);
    forged.write(std::uint32_t{0xFFFFFFF0});
    const auto read = kit::CallReplay::decode(forged.data(), forged.bytesUsed());
    ASSERT_TRUE(read.has_value());
    EXPECT_TRUE(read->batches.empty());
    // More batches than a packet may carry: the rest are left.
    kit::CallReplay many;
    many.hold(3, 0.0f);
    for (std::size_t i = 0; i <= kit::CallReplay::maxBatchesPerPacket; ++i)
        many.keep(3, batch("x"));
    const std::vector<kit::NetStream> split = many.packets();
    ASSERT_EQ(split.size(), 2u) << "a maker's batches beyond one packet's bound go in the next";
    EXPECT_EQ(kit::CallReplay::decode(split[1].data(), split[1].bytesUsed())->batches.size(), 1u);
    std::vector<kit::CallReplay::Bytes> all;
    for (const kit::NetStream& p : split) {
        const auto d = kit::CallReplay::decode(p.data(), p.bytesUsed());
        for (const auto& r : d->batches)
            all.push_back(r.bytes);
    }
    EXPECT_EQ(all.size(), kit::CallReplay::maxBatchesPerPacket + 1);
}

TEST_F(HostChange, TheHostTellsItsClientsWhoIsInTheSessionAndWhere)
{
    open({0x1000, 0x3000, 0x2000});
    std::uint32_t sequence = 0;
    for (std::size_t i : {1u, 2u}) {
        const auto& roster = *copy(i).network->migration().roster();
        EXPECT_EQ(roster.host, 0x1000u);
        EXPECT_EQ(roster.gamePort, port);
        ASSERT_EQ(roster.members.size(), 2u);
        // In the order they came, whatever their origins.
        EXPECT_EQ(roster.members[0], (kit::SessionRoster::Member{0x3000, 0x7F000001}));
        EXPECT_EQ(roster.members[1], (kit::SessionRoster::Member{0x2000, 0x7F000001}));
        EXPECT_EQ(copy(i).network->migration().host(), 0x1000u);
        EXPECT_GT(roster.sequence, 0u);
        sequence = roster.sequence;
    }
    EXPECT_FALSE(host().network->migration().roster().has_value()) << "the host's own roster is never sent to it";
    // A copy that leaves is gone from the roster at once, in a newer roster.
    copy(1).network->reset();
    ASSERT_TRUE(
        runUntil({&host(), &copy(2)}, [&] { return copy(2).network->migration().roster()->members.size() == 1; }));
    EXPECT_FALSE(copy(2).network->migration().roster()->contains(0x3000));
    EXPECT_GT(copy(2).network->migration().roster()->sequence, sequence);
    // Coming back, it arrives anew: last.
    copies.push_back(std::make_unique<SessionCopy>(0x0100));
    copies.back()->network->join("127.0.0.1", port);
    ASSERT_TRUE(runUntil({&host(), &copy(2), &copy(3)}, [&] { return host().network->peers().contains(0x0100); }));
    copy(1).network->join("127.0.0.1", port);
    ASSERT_TRUE(runUntil(all(), [&] { return copy(2).network->migration().roster()->members.size() == 3; }));
    const auto& roster = *copy(2).network->migration().roster();
    EXPECT_EQ(roster.members[0].origin, 0x2000u);
    EXPECT_EQ(roster.members[1].origin, 0x0100u);
    EXPECT_EQ(roster.members[2].origin, 0x3000u);
}

TEST(SessionRosterOrder, AStaleRosterFromTheHostIsIgnored)
{
    testing::internal::CaptureStdout();
    SessionCopy client(0x2000);
    const kit::NetAddress hostAddress{0x7F000001, 30001};
    client.network->migration().joined();
    client.network->handlePacket(kit::NetPeer::Packet{{kit::message::connectionRequestAccepted}, hostAddress, 9});
    auto send = [&](std::uint32_t sequence, std::vector<kit::SessionRoster::Member> members) {
        kit::SessionRoster roster;
        roster.host = 0x1000;
        roster.sequence = sequence;
        roster.members = std::move(members);
        const kit::NetStream packet = roster.encode();
        client.network->handlePacket(kit::NetPeer::Packet{
            std::vector<std::uint8_t>(packet.data(), packet.data() + packet.bytesUsed()), hostAddress, 9});
    };
    send(5, {{0x2000, 1}, {0x3000, 1}});
    send(4, {{0x2000, 1}}); // older, late
    ASSERT_TRUE(client.network->migration().roster().has_value());
    EXPECT_EQ(client.network->migration().roster()->members.size(), 2u);
    send(5, {{0x2000, 1}});
    EXPECT_EQ(client.network->migration().roster()->members.size(), 2u) << "the same number is no news";
    send(6, {{0x2000, 1}});
    EXPECT_EQ(client.network->migration().roster()->members.size(), 1u);
    testing::internal::GetCapturedStdout();
}

TEST_F(HostChange, AHostThatLeavesIsFollowedByTheCopyThatCameFirstAndOnlyTheHostGoes)
{
    open({0x1000, 0x3000, 0x2000});
    SessionCopy &first = copy(1), &second = copy(2);
    ASSERT_TRUE(
        runUntil(all(), [&] { return first.network->peers().size() == 2 && second.network->peers().size() == 2; }));
    host().network->reset();
    host().running = false;
    ASSERT_TRUE(runUntil({&first, &second}, [&] { return joinedTo(second, first); }));
    EXPECT_TRUE(first.network->isServer());
    EXPECT_EQ(first.network->peer->boundPort(), port) << "the next host opens the session's game port";
    EXPECT_EQ(first.network->migration().outcome(), HostMigration::Outcome::hostsSession);
    EXPECT_EQ(second.network->migration().outcome(), HostMigration::Outcome::joinedNextHost);
    EXPECT_EQ(second.network->migration().host(), 0x3000u);
    EXPECT_EQ(first.network->migration().lostHost(), 0x1000u);
    for (SessionCopy* c : {&first, &second}) {
        ASSERT_EQ(c->gone.size(), 1u) << "only the host went";
        EXPECT_EQ(c->gone[0], std::make_pair(std::uint32_t{0x1000}, NetworkSystem::Departure::left));
        EXPECT_FALSE(c->network->peers().contains(0x1000));
    }
    EXPECT_TRUE(second.network->peers().contains(0x3000));
    // The session goes on: calls either way, and the next host's roster.
    second.say("up");
    first.say("down");
    ASSERT_TRUE(runUntil({&first, &second}, [&] {
        return first.heard("up") == 1 && second.heard("down") == 1 &&
               second.network->migration().roster()->members.size() == 1;
    }));
    EXPECT_EQ(second.network->migration().roster()->host, 0x3000u);
    settle({&first, &second});
    EXPECT_TRUE(first.gone.size() == 1 && second.gone.size() == 1) << "nobody else was let go meanwhile";
    const std::string console = said();
    EXPECT_NE(console.find("The session's host has gone: this copy hosts the session now\n"), std::string::npos);
    EXPECT_NE(console.find("The session's host has gone: copy 00003000 hosts the session next\n"), std::string::npos);
    EXPECT_NE(console.find("Joined copy 00003000, the session's new host\n"), std::string::npos);
    EXPECT_NE(console.find("Copy 00002000 is back in the session\n"), std::string::npos);
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
        runUntil({&next, &other}, [&] { return other.network->migration().seeking() || next.network->isServer(); }));
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
        EXPECT_FALSE(c->network->peers().contains(0x2000)) << "the pick that never came back is let go";
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
    EXPECT_TRUE(client.network->isServer());
    EXPECT_FALSE(client.network->peer->isActive());
    EXPECT_TRUE(client.network->peers().empty());
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
        return client.network->peers().size() == 2;
    }));
    old.peer.shutdown();
    ASSERT_TRUE(runUntil({&client}, [&] { return client.network->isServer(); }));
    EXPECT_EQ(client.network->migration().outcome(), HostMigration::Outcome::alone);
    EXPECT_TRUE(client.network->peers().empty()) << "every copy heard through the host goes with it";
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
    held.hold(0x6000, 0.0f);
    held.keep(0x6000, kit::CallReplay::Bytes(calls.data(), calls.data() + calls.bytesUsed()));
    const kit::NetStream replay = held.packets().at(0);
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
