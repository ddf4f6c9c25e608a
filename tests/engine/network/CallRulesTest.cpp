// What a copy accepts from its peers: who may call which function about
// which entity, which copy a connection is, and how much a connection may
// make it do per second. Packets are handed to the network system as its
// receive loop would.
#include "CallRulesFixture.h"

#include "engine/core/Label.h"
#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"
#include "engine/network/NetworkTap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <span>
#include <thread>

using kit::NetworkSystem;
using test::anyones;
using test::batchOf;
using test::Call;
using test::CallBeacon;
using test::hostOnly;
using test::hostOrigin;
using test::mine;
using test::packetBytes;
using test::spawnMany;
using test::stateOf;
using test::takeIt;
using test::tapOrigin;
using test::thirdOrigin;

namespace {

int linesOf(const std::string& text, const std::string& start)
{
    int count = 0;
    for (std::size_t at = text.find(start); at != std::string::npos; at = text.find(start, at + 1))
        ++count;
    return count;
}

// One copy's network system and a log of the calls it ran, "name:text".
struct Judge : ::testing::Test {
    kit::World world;
    NetworkSystem* network = new NetworkSystem(30.0f);
    std::vector<std::string> ran;
    const kit::NetAddress tap{0x7F000001, 5000};
    const kit::NetAddress other{0x7F000001, 5001};

    void SetUp() override
    {
        world.origin = hostOrigin;
        world.addComponent(kit::EntityHandle{world.systemEntity(), &world}, network);
        for (const auto* f : {&mine, &anyones, &hostOnly, &takeIt}) {
            network->registerFunction(*f, [this, name = std::string(f->name)](kit::EntityHandle, const std::string& t) {
                ran.push_back(name + ":" + t);
            });
        }
        network->registerFunction(spawnMany, [](kit::EntityHandle e, int count) {
            for (int i = 0; i < count; ++i)
                e.world->createEntity();
        });
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
    }
    void TearDown() override
    {
        if (!captured)
            capture();
    }
    void capture()
    {
        captured = true;
        out = testing::internal::GetCapturedStdout();
        err = testing::internal::GetCapturedStderr();
    }

    void receive(const kit::NetStream& packet, const kit::NetAddress& from)
    {
        network->handlePacket(kit::NetPeer::Packet{packetBytes(packet), from, 1});
    }
    void calls(const std::vector<Call>& batch, const kit::NetAddress& from) { receive(batchOf(batch), from); }
    void introduce(std::uint32_t origin, const kit::NetAddress& from) { receive(stateOf(origin), from); }

    bool captured = false;
    std::string out, err;
};

} // namespace

TEST_F(Judge, AConnectionsCallsWaitForItsStateAndRunBeforeIt)
{
    auto* beacon = new CallBeacon(&ran);
    world.addComponent(kit::EntityHandle{kit::EntityID{tapOrigin, 4}, &world}, beacon);
    calls({{"mine", {tapOrigin, 1}, "held"}}, tap);
    EXPECT_TRUE(ran.empty()); // not yet known which copy made it
    receive(stateOf(tapOrigin, {kit::EntityID{tapOrigin, 4}}), tap);
    // Sent before its state, run before its state.
    EXPECT_EQ(ran, (std::vector<std::string>{"mine:held", "state"}));
    EXPECT_EQ(beacon->value, 7);
}

TEST_F(Judge, AConnectionCannotSpeakAsThisCopy)
{
    // It names this very copy in its state: it stays unknown, and its calls
    // about this copy's entities wait and never run as this copy's own.
    introduce(hostOrigin, tap);
    calls({{"mine", {hostOrigin, 1}, "forged"}}, tap);
    EXPECT_TRUE(ran.empty());
    capture();
    EXPECT_NE(err.find("state in the name of copy"), std::string::npos) << err;
}

TEST_F(Judge, AJoinedCopyNeverCountsItselfAmongItsPeers)
{
    // A joined copy hears the others through its host; a state packet that
    // names this very copy (a host relaying it back, or lying) adds no peer.
    network->startAs(kit::NetworkSystem::Role::client);
    introduce(tapOrigin, tap);
    receive(stateOf(hostOrigin), tap);
    EXPECT_TRUE(network->peers().contains(tapOrigin));
    EXPECT_FALSE(network->peers().contains(hostOrigin)) << "a copy is never its own peer";
    EXPECT_EQ(network->peers().size(), 1u);
}

TEST_F(Judge, ACallCutShortIsRefusedAndTheCallsBeforeItRun)
{
    introduce(tapOrigin, tap);
    std::vector<std::uint8_t> bytes =
        packetBytes(batchOf({{"anyones", {tapOrigin, 1}, "kept"}, {"anyones", {tapOrigin, 2}, "cut"}}));
    bytes.resize(bytes.size() - 3); // the end byte and the last two letters
    network->handlePacket(kit::NetPeer::Packet{bytes, tap, 1});
    EXPECT_EQ(ran, (std::vector<std::string>{"anyones:kept"}));
    EXPECT_EQ(network->traffic.callsRun, 1u);
    EXPECT_EQ(network->traffic.callsDropped, 1u);
    capture();
    EXPECT_EQ(linesOf(err, "Dropped from 127.0.0.1|5000"), 1) << err;
    EXPECT_NE(err.find("whose last call is cut short"), std::string::npos) << err;
}

TEST_F(Judge, HeldCallsAreBounded)
{
    network->limits.heldPackets = 2;
    for (int i = 0; i < 5; ++i)
        calls({{"mine", {tapOrigin, 1}, std::to_string(i)}}, tap);
    introduce(tapOrigin, tap);
    EXPECT_EQ(ran, (std::vector<std::string>{"mine:0", "mine:1"}));
    capture();
    EXPECT_EQ(linesOf(err, "Dropped from 127.0.0.1|5000"), 1) << err;
}

TEST_F(Judge, EachRuleOnTheHostingCopy)
{
    introduce(tapOrigin, tap);
    const kit::EntityHandle pickUp{kit::EntityID{hostOrigin, 5}, &world};
    world.addComponent(pickUp, new kit::Label(std::string(kit::sharedLabel)));
    calls({{"mine", {tapOrigin, 1}, "own"},
           {"mine", {hostOrigin, 1}, "the host's"},
           {"mine", {thirdOrigin, 1}, "another copy's"},
           {"anyones", {hostOrigin, 1}, "anyone's"},
           {"hostOnly", {tapOrigin, 0}, "not the host"},
           {"takeIt", {hostOrigin, 5}, "shared"},
           {"takeIt", {hostOrigin, 6}, "not shared"},
           {"takeIt", {tapOrigin, 6}, "own, not shared"}},
          tap);
    EXPECT_EQ(ran,
              (std::vector<std::string>{"mine:own", "anyones:anyone's", "takeIt:shared", "takeIt:own, not shared"}));
    EXPECT_EQ(network->traffic.callsRun, 4u);
    EXPECT_EQ(network->traffic.callsDropped, 4u);
}

TEST_F(Judge, AJoinedCopyRefusesCallsAboutWhatItOwnsThatOnlyItMayMake)
{
    network->startAs(kit::NetworkSystem::Role::client); // everything comes through the host, which judged it
    calls({{"mine", {hostOrigin, 1}, "about mine"},
           {"mine", {tapOrigin, 1}, "about theirs"},
           {"anyones", {hostOrigin, 1}, "anyone's"},
           {"hostOnly", {tapOrigin, 0}, "from the host"},
           {"hostOnly", {hostOrigin, 0}, "about mine"}},
          tap);
    EXPECT_EQ(ran, (std::vector<std::string>{"mine:about theirs", "anyones:anyone's", "hostOnly:from the host"}));
}

TEST_F(Judge, AConnectionStaysTheCopyItFirstNamed)
{
    auto* beacon = new CallBeacon;
    world.addComponent(kit::EntityHandle{kit::EntityID{thirdOrigin, 1}, &world}, beacon);
    introduce(tapOrigin, tap);
    receive(stateOf(thirdOrigin, {kit::EntityID{thirdOrigin, 1}}), tap); // now it says it is another copy
    receive(stateOf(hostOrigin), other);                                 // this very copy
    receive(stateOf(tapOrigin), other);                                  // the first connection's copy
    EXPECT_EQ(beacon->value, 0);
    EXPECT_FALSE(network->peers().contains(thirdOrigin));
    EXPECT_FALSE(network->peers().contains(hostOrigin));
    ASSERT_TRUE(network->peers().contains(tapOrigin));
    EXPECT_EQ(network->peers().at(tapOrigin).address, tap);
    calls({{"mine", {tapOrigin, 1}, "other"}}, other); // still unknown: held
    EXPECT_TRUE(ran.empty());

    // Once its copy is forgotten (silent too long), a connection may name itself anew.
    world.update(NetworkSystem::peerSilenceLimit + 1.0f);
    receive(stateOf(thirdOrigin, {kit::EntityID{thirdOrigin, 1}}), tap);
    EXPECT_EQ(beacon->value, 7);
    capture();
    EXPECT_NE(err.find("Dropped from 127.0.0.1|5000 (copy 00002000): state in the name of copy 00003000"),
              std::string::npos)
        << err;
}

TEST_F(Judge, CallsBeyondTheirBudgetAreDroppedWithALineASecond)
{
    network->limits.callsPerSecond = 10.0f;
    network->limits.callBurst = 5.0f;
    introduce(tapOrigin, tap);
    std::vector<Call> many(8, Call{"mine", {tapOrigin, 1}, "x"});
    calls(many, tap);
    EXPECT_EQ(ran.size(), 5u);
    calls(many, tap);
    EXPECT_EQ(ran.size(), 5u);
    world.update(1.0f); // a second later the budget is full again, no more
    calls(many, tap);
    EXPECT_EQ(ran.size(), 10u);
    capture();
    // One line for the first second's eleven refusals, one for the next.
    EXPECT_EQ(linesOf(err, "Dropped from 127.0.0.1|5000 (copy 00002000): calls beyond their budget"), 2) << err;
    EXPECT_NE(err.find("(and 10 more since the last report)"), std::string::npos) << err;
}

TEST_F(Judge, CallsThatMadeTooManyEntitiesStopTheNext)
{
    network->limits.entityBurst = 15.0f;
    introduce(tapOrigin, tap);
    const std::size_t before = world.entities.size();
    kit::NetStream batch;
    for (int i = 0; i < 3; ++i) {
        kit::NetStream arguments;
        arguments.write(kit::EntityID{tapOrigin, 1});
        arguments.write(10);
        batch.write(NetworkSystem::remoteCallsId);
        batch.write(std::string("spawnMany"));
        batch.write(arguments);
    }
    batch.write(std::uint8_t{0});
    receive(batch, tap);
    // The second call still had budget left and ran into debt; the third did not run.
    EXPECT_EQ(world.entities.size(), before + 20);
}

TEST_F(Judge, StateBeyondItsBudgetIsDropped)
{
    network->limits.recordsPerPacket = 4;
    network->limits.recordBurst = 6.0f;
    std::vector<CallBeacon*> beacons;
    std::vector<kit::EntityID> ids;
    for (std::uint32_t i = 1; i <= 6; ++i) {
        ids.push_back(kit::EntityID{tapOrigin, i});
        beacons.push_back(new CallBeacon);
        world.addComponent(kit::EntityHandle{ids.back(), &world}, beacons.back());
    }
    receive(stateOf(tapOrigin, ids, 1), tap); // six records: the first four apply
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(beacons[static_cast<std::size_t>(i)]->value, i < 4 ? 1 : 0) << i;
    receive(stateOf(tapOrigin, {ids[0], ids[1], ids[2]}, 2), tap); // two left in this second's budget
    EXPECT_EQ(beacons[0]->value, 2);
    EXPECT_EQ(beacons[1]->value, 2);
    EXPECT_EQ(beacons[2]->value, 1);
    EXPECT_EQ(network->traffic.recordsApplied, 6u);
}

TEST_F(Judge, TheConsoleListsKnownCallsWithinALimitAndCountsTheRest)
{
    network->limits.callLinesPerSecond = 3;
    introduce(tapOrigin, tap);
    calls({{"nobodyKnowsThis\x1b[2J", {tapOrigin, 1}, ""}, {"mine", {tapOrigin, 1}, "a"}}, tap);
    calls({{"\x07\x07", {tapOrigin, 1}, ""}}, tap);
    calls(std::vector<Call>(4, Call{"mine", {tapOrigin, 1}, "b"}), tap);
    world.update(1.0f);
    calls({{"mine", {tapOrigin, 1}, "c"}, {"zzz", {tapOrigin, 1}, ""}}, tap);
    EXPECT_EQ(ran.size(), 6u);
    capture();
    EXPECT_EQ(linesOf(out, "Recieved RPC call: mine\n"), 4) << out;
    EXPECT_EQ(out.find("nobodyKnows"), std::string::npos);
    EXPECT_EQ(err.find("nobodyKnows"), std::string::npos);
    EXPECT_NE(out.find("(2 more received calls not listed)\nRecieved RPC call: mine\n"), std::string::npos) << out;
    // The unknown names: one line at once, the next a second later with its count.
    EXPECT_NE(err.find("Ignored 1 calls of functions not registered here\n"), std::string::npos) << err;
    EXPECT_NE(err.find("Ignored 2 calls of functions not registered here\n"), std::string::npos) << err;
    EXPECT_EQ(linesOf(err, "Ignored "), 2) << err;
}

namespace {

// The batches of a peer's calls that passed here, as a recording is told them.
struct PassedCalls : kit::NetworkTap {
    std::vector<std::vector<std::uint8_t>> batches;
    void calls(std::span<const std::uint8_t> batch) override { batches.emplace_back(batch.begin(), batch.end()); }
    void state(std::span<const std::uint8_t>) override {}
    void networkGone() override {}
};

} // namespace

TEST_F(Judge, AHandlerSeesItsOwnCallAndTheOneRightBeforeAndRefusesOnlyItsOwn)
{
    constexpr kit::NamedFunction<std::string> note{"note", kit::Caller::anyone};
    constexpr kit::NamedFunction<std::string> refuse{"refuse", kit::Caller::anyone};
    constexpr kit::NamedFunction<std::string> outer{"outer", kit::Caller::anyone};
    // "text: running call, its maker, and what came right before it if anything did".
    auto describe = [this](const std::string& text) {
        const NetworkSystem::CallRun& call = network->runningCall();
        std::string line = text + ": " + call.name + " by " + std::to_string(call.caller.value_or(0));
        if (network->previousCameRightBefore())
            line += " after " + network->previousCall().name;
        ran.push_back(line);
    };
    network->registerFunction(note, [&](kit::EntityHandle, const std::string& t) { describe(t); });
    network->registerFunction(refuse, [&](kit::EntityHandle, const std::string& t) {
        describe(t);
        network->refuseRunningCall();
    });
    network->registerFunction(outer, [&](kit::EntityHandle, const std::string& t) {
        // A call of its own from inside a handler, refused there: the outer
        // call is the running one again afterwards, and not refused.
        network->callFunction(refuse, kit::EntityID{hostOrigin, 1}, "inner");
        describe(t);
    });
    PassedCalls passed;
    network->tap = &passed;
    introduce(tapOrigin, tap);
    calls({{"note", {tapOrigin, 1}, "a"},
           {"note", {tapOrigin, 1}, "b"},
           {"refuse", {tapOrigin, 1}, "x"},
           {"note", {tapOrigin, 1}, "c"},
           {"outer", {tapOrigin, 1}, "o"},
           {"note", {tapOrigin, 1}, "d"}},
          tap);
    calls({{"note", {tapOrigin, 1}, "e"}}, tap);
    const std::string peer = std::to_string(tapOrigin), self = std::to_string(hostOrigin);
    EXPECT_EQ(ran, (std::vector<std::string>{
                       "a: note by " + peer, "b: note by " + peer + " after note",
                       "x: refuse by " + peer + " after note", "c: note by " + peer + " after refuse",
                       "inner: refuse by " + self, // made here, in no batch
                       "o: outer by " + peer,      // its own call ran between
                       "d: note by " + peer,       // so did the inner one
                       "e: note by " + peer,       // another batch
                   }));
    ASSERT_EQ(passed.batches.size(), 2u);
    EXPECT_EQ(passed.batches[0], packetBytes(batchOf({{"note", {tapOrigin, 1}, "a"},
                                                      {"note", {tapOrigin, 1}, "b"},
                                                      {"note", {tapOrigin, 1}, "c"},
                                                      {"outer", {tapOrigin, 1}, "o"},
                                                      {"note", {tapOrigin, 1}, "d"}})));
    EXPECT_EQ(passed.batches[1], packetBytes(batchOf({{"note", {tapOrigin, 1}, "e"}})));
    EXPECT_EQ(network->traffic.callsDropped, 1u);
    network->tap = nullptr;
}

TEST_F(Judge, TwoCallsAHandlerMakesComeOneRightAfterTheOther)
{
    // A peer's call whose handler makes two of this copy's own (a claimed hit
    // that kills: the kill, then the death that scores it).
    constexpr kit::NamedFunction<std::string> note{"note", kit::Caller::anyone};
    constexpr kit::NamedFunction<std::string> pair{"pair", kit::Caller::anyone};
    auto describe = [this](const std::string& text) {
        const NetworkSystem::CallRun& call = network->runningCall();
        std::string line = text + ": " + call.name + " by " + std::to_string(call.caller.value_or(0));
        if (network->previousCameRightBefore())
            line += " after " + network->previousCall().name + " " + std::to_string(network->previousCall().serial);
        ran.push_back(line);
    };
    network->registerFunction(note, [&](kit::EntityHandle, const std::string& t) { describe(t); });
    network->registerFunction(pair, [&](kit::EntityHandle, const std::string& t) {
        network->callFunction(note, kit::EntityID{hostOrigin, 1}, "first");
        network->callFunction(note, kit::EntityID{hostOrigin, 1}, "second");
        describe(t);
    });
    introduce(tapOrigin, tap);
    const std::uint64_t before = network->runningCall().serial;
    calls({{"pair", {tapOrigin, 1}, "p"}, {"note", {tapOrigin, 1}, "next"}}, tap);
    const std::string peer = std::to_string(tapOrigin), self = std::to_string(hostOrigin);
    EXPECT_EQ(ran, (std::vector<std::string>{
                       "first: note by " + self, // the peer's call came before: another maker
                       "second: note by " + self + " after note " + std::to_string(before + 2),
                       "p: pair by " + peer,    // its own calls ran between
                       "next: note by " + peer, // so did they
                   }));
}

TEST_F(Judge, ARuleIsPartOfTheDeclaration)
{
    constexpr kit::NamedFunction<std::string> mineForAnyone{"mine", kit::Caller::anyone};
    network->registerFunction(mineForAnyone, [this](kit::EntityHandle, const std::string&) { ran.push_back("loose"); });
    network->callFunction(mineForAnyone, kit::EntityID{hostOrigin, 1}, "x");
    EXPECT_TRUE(ran.empty());
    capture();
    EXPECT_EQ(err, "Named function \"mine\" was registered with another caller rule\n"
                   "Named function \"mine\" was registered with another caller rule\n");
}
