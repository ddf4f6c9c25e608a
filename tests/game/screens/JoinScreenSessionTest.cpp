// The join screen beside other copies of the game: their players counted
// and seated without taking this copy's colours, who announces its players
// when, and in a session, what the screen says and offers when the host goes
// or the screen is shown again, with the link to each copy beside its players.
#include "JoinScreenFixture.h"

#include "game/ai/ArtificialIntelligence.h"
#include "game/ai/VirtualGamepadAI.h"
#include "game/input/KeyBindings.h"
#include "game/input/VirtualGamepadJoystick.h"
#include "game/input/VirtualGamepadKeyboard.h"
#include "game/lobby/JoinedBy.h"
#include "game/lobby/JoiningPlayers.h"
#include "game/lobby/LinkLabel.h"
#include "game/match/MatchFunctions.h"
#include "game/players/PlayerColours.h"
#include "game/players/PlayerInfo.h"
#include "game/players/Seats.h"
#include "game/screens/JoinScreen.h"
#include "game/screens/JoinScreenView.h"

#include "engine/input/KeyNames.h"

#include "engine/network/HostMigration.h"
#include "engine/network/LinkReport.h"
#include "engine/network/LinkWatch.h"
#include "engine/render/Text.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <set>
#include <thread>

using namespace skyscuffle;

namespace {

using namespace kit::keys;
using test::JoinScreen;

TEST_F(JoinScreen, CountsTheOtherCopiesPlayers)
{
    tap(x);
    const kit::EntityID remote{world()->origin + 1, 3};
    network->callFunction(fn::spawnPersistantPlayer, remote, playerColours()[0], 4);
    frame();
    EXPECT_NE(shown().find("1 Remote Player Joined\n"), std::string::npos);
    EXPECT_NE(shown().find("remote"), std::string::npos);
}

TEST_F(JoinScreen, AskingForPlayersAnnouncesOnlyThisCopysOwn)
{
    tap(x);
    const kit::EntityID remote{world()->origin + 1, 3};
    network->callFunction(fn::spawnPersistantPlayer, remote, playerColours()[0], 4);
    network->flushCalls();
    network->callFunction(fn::requestPlayers, remote);
    // What would go to the other copies: the keyboard player, announced again.
    const auto* bytes = reinterpret_cast<const char*>(network->pendingCalls.data());
    const std::string calls(bytes, network->pendingCalls.bytesUsed());
    EXPECT_NE(calls.find("requestPlayers"), std::string::npos);
    EXPECT_EQ(calls.find("spawnPersistantPlayer"), calls.rfind("spawnPersistantPlayer"))
        << "one announcement: the remote player is its own copy's to announce";
    EXPECT_NE(calls.find("spawnPersistantPlayer"), std::string::npos);
}

TEST_F(JoinScreen, TheHostAnswersACopyAskingForPlayersWithItsRules)
{
    const auto sent = [this] {
        const auto* bytes = reinterpret_cast<const char*>(network->pendingCalls.data());
        return std::string(bytes, network->pendingCalls.bytesUsed());
    };
    const kit::EntityID remote{world()->origin + 1, 3};
    network->flushCalls();
    network->callFunction(fn::requestPlayers, remote);
    EXPECT_EQ(sent().find("matchRules"), std::string::npos) << "a copy on its own tells nobody";
    network->host(0, 4);
    network->flushCalls();
    network->callFunction(fn::requestPlayers, remote);
    EXPECT_NE(sent().find("matchRules"), std::string::npos) << "a copy that joined late hears the host's rules";
}

TEST_F(JoinScreen, ACopyHeardForTheFirstTimeMakesEveryCopyAnnounceItsPlayers)
{
    tap(x);
    network->flushCalls();
    frame();
    const auto sent = [this] {
        const auto* bytes = reinterpret_cast<const char*>(network->pendingCalls.data());
        return std::string(bytes, network->pendingCalls.bytesUsed());
    };
    EXPECT_EQ(sent().find("requestPlayers"), std::string::npos) << "nobody new: nothing to ask";
    // The first state packet of another copy: the connection is up now.
    network->recordPeer(kit::NetworkSystem::PeerRecord{{}, world()->origin + 1, "joinScreen"});
    frame();
    EXPECT_NE(sent().find("requestPlayers"), std::string::npos);
    EXPECT_NE(sent().find("spawnPersistantPlayer"), std::string::npos) << "this copy's player is announced again";
}

TEST_F(JoinScreen, ThePlayersOfACopyThatLeftAreRemoved)
{
    tap(x);
    const std::uint32_t other = world()->origin + 1;
    network->callFunction(fn::spawnPersistantPlayer, kit::EntityID{other, 3}, playerColours()[0], 4);
    network->callFunction(fn::spawnPersistantPlayer, kit::EntityID{other, 4}, playerColours()[1], 5);
    frame();
    EXPECT_EQ(players(), 3u) << "players whose copy was not heard from yet stay (their call came first)";
    network->recordPeer(kit::NetworkSystem::PeerRecord{{}, other, "joinScreen"});
    frame();
    EXPECT_NE(shown().find("2 Remote Players Joined\n"), std::string::npos);
    network->forgetPeers([other](const kit::NetworkSystem::PeerRecord& r) { return r.origin == other; },
                         kit::NetworkSystem::Departure::left); // disconnected
    frame();
    frame();
    EXPECT_EQ(players(), 1u);
    EXPECT_TRUE(logged("A copy has left the session with 2 players"));
    EXPECT_NE(shown().find("0 Remote Players Joined\n"), std::string::npos);
    EXPECT_EQ(world()->getEntities(kit::typeId<VirtualGamepadKeyboard>())->size(), 1u);
}

// The calls this copy queued for the others since its last batch, as text.
static std::string queued(const kit::NetworkSystem& network)
{
    const auto* bytes = reinterpret_cast<const char*>(network.pendingCalls.data());
    return std::string(bytes, network.pendingCalls.bytesUsed());
}

TEST_F(JoinScreen, AnotherCopysPlayerInAColourTakenHereGetsNoSeatWhateverItsId)
{
    tap(x);
    tap(v);
    const auto keyboard = world()->getEntities(kit::typeId<VirtualGamepadKeyboard>())->toVector().front();
    const PlayerInfo mine = *world()->getComponent<PlayerInfo>(keyboard.id);
    network->flushCalls();
    // Another copy gave its player the same colour, with the smallest id there is.
    const kit::EntityID theirs{0, 1};
    network->callFunction(fn::spawnPersistantPlayer, theirs,
                          PlayerTextureInfo{mine.colourName, mine.modelTexture, mine.hudIcon, mine.colour},
                          static_cast<int>(mine.number));
    EXPECT_NE(queued(*network).find("refuseSeat"), std::string::npos) << "its copy is told";
    frames(3);
    EXPECT_EQ(world()->getComponent<PlayerInfo>(theirs), nullptr) << "this copy, the host, seated it first";
    const PlayerInfo& now = *world()->getComponent<PlayerInfo>(keyboard.id);
    EXPECT_EQ(now.modelTexture, mine.modelTexture);
    EXPECT_EQ(now.number, mine.number);
    EXPECT_EQ(players(), 2u);
}

TEST_F(JoinScreen, APlayerThatCameLaterElsewhereLeavesThisCopysColoursAlone)
{
    tap(x);
    const auto keyboard = world()->getEntities(kit::typeId<VirtualGamepadKeyboard>())->toVector().front();
    const PlayerInfo mine = *world()->getComponent<PlayerInfo>(keyboard.id);
    const kit::EntityID later{world()->origin + 1, 1};
    network->callFunction(fn::spawnPersistantPlayer, later,
                          PlayerTextureInfo{mine.colourName, mine.modelTexture, mine.hudIcon, mine.colour},
                          static_cast<int>(mine.number));
    frames(3);
    EXPECT_EQ(world()->getComponent<PlayerInfo>(keyboard.id)->modelTexture, mine.modelTexture)
        << "the other copy recolours its own player";
}

TEST_F(JoinScreen, WithEverySeatTakenAnotherCopysPlayerIsTurnedAwayAndNoneOfThisCopysLeaves)
{
    for (int i = 0; i < 5; ++i)
        tap(v);
    network->flushCalls();
    const std::size_t own = players();
    ASSERT_EQ(own, 5u);
    const PlayerTextureInfo free = *newPlayerColour(world());
    network->callFunction(fn::spawnPersistantPlayer, kit::EntityID{0, 9}, free, 12); // the sixth seat
    EXPECT_EQ(queued(*network).find("refuseSeat"), std::string::npos);
    network->callFunction(fn::spawnPersistantPlayer, kit::EntityID{0, 10}, playerColours()[0], 13);
    EXPECT_NE(queued(*network).find("refuseSeat"), std::string::npos);
    frame();
    EXPECT_EQ(players(), 6u);
    EXPECT_NE(world()->getComponent<PlayerInfo>(kit::EntityID{0, 9}), nullptr);
    EXPECT_EQ(world()->getComponent<PlayerInfo>(kit::EntityID{0, 10}), nullptr);
}

TEST_F(JoinScreen, TurnedAwayByTheHostThisCopysPlayerTakesAnotherColourOrLeaves)
{
    tap(x);
    tap(v);
    const auto keyboard = world()->getEntities(kit::typeId<VirtualGamepadKeyboard>())->toVector().front();
    const std::string before = world()->getComponent<PlayerInfo>(keyboard.id)->modelTexture;
    const std::string wore = world()->getComponent<PlayerInfo>(keyboard.id)->colourName;
    const kit::EntityID host = world()->systemEntity();
    // Its colour went to another copy's player first.
    network->callFunction(fn::refuseSeat, host, keyboard.id, false, wore);
    const PlayerInfo* now = world()->getComponent<PlayerInfo>(keyboard.id);
    ASSERT_NE(now, nullptr);
    EXPECT_NE(now->modelTexture, before);
    EXPECT_TRUE(logged(std::string("Taken by another copy's player: this one is now ") + now->colourName));
    EXPECT_NE(queued(*network).find("spawnPersistantPlayer"), std::string::npos) << "announced again";
    // The same refusal again (it was announced twice): old news.
    const std::string after = now->modelTexture;
    network->callFunction(fn::refuseSeat, host, keyboard.id, false, wore);
    EXPECT_EQ(world()->getComponent<PlayerInfo>(keyboard.id)->modelTexture, after);
    // No seat left: it leaves, and only it.
    const auto pilot = *joining::lastComputerPlayer(world(), JoinedBy::keyboard);
    network->callFunction(fn::refuseSeat, host, pilot.id, true, std::string("Anything"));
    frame();
    EXPECT_EQ(world()->getComponent<PlayerInfo>(pilot.id), nullptr);
    EXPECT_NE(world()->getComponent<PlayerInfo>(keyboard.id), nullptr);
    EXPECT_TRUE(logged("All six colours are taken: no room for another player"));
    // About a player of another copy, or one that is no player: nothing.
    const kit::EntityID theirs{world()->origin + 1, 3};
    const PlayerTextureInfo free = *newPlayerColour(world());
    network->callFunction(fn::spawnPersistantPlayer, theirs, free, 4);
    ASSERT_NE(world()->getComponent<PlayerInfo>(theirs), nullptr);
    network->callFunction(fn::refuseSeat, host, theirs, true, std::string());
    network->callFunction(fn::refuseSeat, host, theirs, false, free.colourName);
    network->callFunction(fn::refuseSeat, host, kit::EntityID{world()->origin, 999999}, true, std::string());
    frame();
    ASSERT_NE(world()->getComponent<PlayerInfo>(theirs), nullptr) << "another copy's player is its own to take apart";
    EXPECT_EQ(world()->getComponent<PlayerInfo>(theirs)->colourName, free.colourName);
    EXPECT_EQ(players(), 2u);
}

// Another copy of the game in this process: a network system in a bare world.
struct OtherCopy {
    kit::World world;
    kit::NetworkSystem* network = new kit::NetworkSystem(30.0f);
    explicit OtherCopy(std::uint32_t origin)
    {
        world.origin = origin;
        world.addComponent(kit::EntityHandle{world.systemEntity(), &world}, network);
    }
};

class JoinScreenInASession : public JoinScreen {
protected:
    // Frames here and on the other copies until `done` (false after ten
    // seconds); the others' frames may be longer than this copy's, which take
    // their time on a busy machine.
    bool until(std::initializer_list<OtherCopy*> others, const std::function<bool()>& done,
               float othersFrame = 1.0f / 60.0f)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < end) {
            frame();
            for (OtherCopy* o : others)
                o->world.update(othersFrame);
            if (done())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    }
    // This copy joins `host`, and the others after the host has heard from
    // it (the first to arrive hosts next); true once this copy has the
    // session's roster of `members` copies besides the host.
    bool joinSession(OtherCopy& host, std::initializer_list<OtherCopy*> others, std::size_t members)
    {
        host.network->host(0, 4);
        network->join("127.0.0.1", host.network->peer->boundPort());
        if (!until(others, [&] { return host.network->peers().contains(world()->origin); }))
            return false;
        for (OtherCopy* o : others) {
            if (o != &host)
                o->network->join("127.0.0.1", host.network->peer->boundPort());
        }
        return until(others, [&] {
            const auto& roster = network->migration().roster();
            return roster && roster->members.size() == members;
        });
    }
};

TEST_F(JoinScreenInASession, ACopyLeftAloneByItsHostSaysItHostsItsOwnGames)
{
    OtherCopy host(0);
    ASSERT_TRUE(joinSession(host, {&host}, 1));
    EXPECT_EQ(shown().find("The host has gone"), std::string::npos) << "nothing to say while the host is there";
    host.network->reset();
    ASSERT_TRUE(until({}, [&] { return network->isServer(); }));
    frame();
    EXPECT_NE(shown().find("The host has gone: you host your own games now\n"), std::string::npos);
    EXPECT_TRUE(logged("The session's host has gone: this copy hosts its own games now"));
    EXPECT_FALSE(discovery->hosting) << "alone, it has no session to offer";
}

TEST_F(JoinScreenInASession, ACopyThatHostsInItsHostsPlaceOffersTheSession)
{
    OtherCopy host(0), other(0xFFFFFFFF); // this copy arrives first: it hosts next
    ASSERT_TRUE(joinSession(host, {&host, &other}, 2));
    EXPECT_FALSE(discovery->hosting);
    host.network->reset();
    ASSERT_TRUE(until({&other}, [&] { return network->isServer() && network->peers().contains(0xFFFFFFFF); }));
    frame();
    EXPECT_NE(shown().find("The host has gone: you host the session now\n"), std::string::npos);
    EXPECT_TRUE(discovery->hosting) << "the session is offered on the network again";
    EXPECT_TRUE(discovery->announceNow);
    // The main menu ends the session, and the notice with it.
    network->reset();
    frame();
    EXPECT_EQ(shown().find("The host has gone"), std::string::npos);
    EXPECT_FALSE(discovery->hosting);
}

// Back on the join screen after a match, or from the main menu, while the
// session goes on: players may have come meanwhile, and who offers the
// session on the network has not changed.
TEST_F(JoinScreenInASession, AJoinedCopyBackOnTheJoinScreenAsksForThePlayersWaitingAndOffersNothing)
{
    OtherCopy host(0);
    int asked = 0;
    host.network->registerFunction(host.world, fn::requestPlayers, [&](kit::EntityHandle) { ++asked; });
    ASSERT_TRUE(joinSession(host, {&host}, 1));
    for (int i = 0; i < 60; ++i) { // what joining asks is answered
        frame();
        host.world.update(1.0f / 60.0f);
    }
    const int before = asked;
    app->setWorld(std::make_shared<kit::World>(createJoinScreen));
    frame();
    EXPECT_FALSE(discovery->hosting) << "a joined copy hosts no session of its own";
    EXPECT_TRUE(until({&host}, [&] { return asked > before; })) << "the host was never asked for its players";
}

TEST_F(JoinScreenInASession, AHostBackOnTheJoinScreenOffersItsSession)
{
    OtherCopy guest(0xFFFFFFFF);
    network->host(0, 4);
    guest.network->join("127.0.0.1", network->peer->boundPort());
    ASSERT_TRUE(until({&guest}, [&] { return network->peers().contains(0xFFFFFFFF); }));
    app->setWorld(std::make_shared<kit::World>(createJoinScreen));
    frame();
    EXPECT_TRUE(discovery->hosting);
    EXPECT_TRUE(discovery->announceNow);
}

TEST_F(JoinScreenInASession, BesideEachOtherCopysPlayersStandsTheLinkToThatCopy)
{
    OtherCopy host(0x0A000001), other(0xFFFFFFF0);
    for (OtherCopy* o : {&host, &other})
        registerPlayerFunctions(*o->network); // the host passes on only what it knows
    ASSERT_TRUE(joinSession(host, {&host, &other}, 2));
    host.network->callFunction(fn::spawnPersistantPlayer, kit::EntityID{host.world.origin, 7}, playerColours()[1], 2);
    other.network->callFunction(fn::spawnPersistantPlayer, kit::EntityID{other.world.origin, 8}, playerColours()[2], 3);
    // This copy's own player once theirs are here: its colour is not theirs.
    ASSERT_TRUE(until({&host, &other}, [&] { return players() == 2; }));
    tap(x);
    // The line of each copy's player, in the screen's entity order.
    auto lineOf = [&](std::uint32_t origin) {
        const auto players = world()->getEntities(kit::typeId<PlayerInfo>())->toVector();
        const auto found = std::find_if(players.begin(), players.end(),
                                        [&](const kit::EntityHandle& e) { return e.id.origin == origin; });
        const std::vector<std::string> links = linkLines(world());
        return found == players.end() || links.size() != players.size()
                   ? std::string("(no player)")
                   : links[static_cast<std::size_t>(found - players.begin())];
    };
    const std::uint32_t hostOrigin = host.world.origin, otherOrigin = other.world.origin, own = world()->origin;
    // The host reports once a second of its own frames: a tenth of a second each.
    ASSERT_TRUE(until(
        {&host, &other},
        [&] {
            return lineOf(hostOrigin).find(" ms") != std::string::npos &&
                   lineOf(otherOrigin).find(" ms") != std::string::npos;
        },
        0.1f))
        << "no link beside the other copies' players";
    EXPECT_EQ(lineOf(own), "") << "none beside this copy's own player";
    EXPECT_EQ(lineOf(hostOrigin), linkLabel(*network->links().of(hostOrigin))) << "the link to the host, measured here";
    EXPECT_EQ(lineOf(otherOrigin), linkLabel(*network->links().of(otherOrigin))) << "through the host";
    for (const std::uint32_t origin : {hostOrigin, otherOrigin})
        EXPECT_NE(shown().find("\n" + lineOf(origin) + "\n"), std::string::npos) << lineOf(origin) << " not shown";

    // The other copy far away, as its host reports it; nothing else speaks meanwhile.
    for (int i = 0; i < 20; ++i) {
        frame();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    const std::string hostLine = lineOf(hostOrigin);
    kit::LinkReport report;
    report.entries = {{otherOrigin, kit::LinkQuality{400, 0.07f}}};
    const kit::NetStream bytes = report.encode();
    network->handlePacket(
        kit::NetPeer::Packet{{bytes.data(), bytes.data() + bytes.bytesUsed()}, *network->migration().hostAddress(), 0});
    frame();
    const std::string poor = lineOf(otherOrigin);
    // Both legs: 400 ms and 7 % from the host, and this copy's own to the host
    // (a busy machine loses a packet now and then even on loopback).
    const kit::LinkQuality far = *network->links().of(otherOrigin);
    EXPECT_EQ(far.roundTripMs, 400 + network->links().of(hostOrigin)->roundTripMs);
    EXPECT_EQ(poor, linkLabel(far));
    EXPECT_EQ(poor.substr(0, 2), "! ") << poor;
    EXPECT_TRUE(poor.ends_with("% loss")) << poor;
    bool warm = false;
    for (kit::Component* c : *world()->getComponentCollection(kit::typeId<kit::Text>())) {
        const auto* text = static_cast<kit::Text*>(c);
        warm = warm || (text->text() == poor && text->colour == poorLinkColour);
    }
    EXPECT_TRUE(warm) << poor << " is not shown in the warm red of a poor link";
    EXPECT_EQ(lineOf(hostOrigin), hostLine) << "the host's link is unchanged";
}

} // namespace
