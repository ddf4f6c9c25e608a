// The join screen: players of every device join and leave, computer pilots
// come and go, nobody joins twice, a seventh player finds no colour, and
// Enter begins the round.
#include "JoinScreenFixture.h"

#include "game/ai/ArtificialIntelligence.h"
#include "game/ai/VirtualGamepadAI.h"
#include "game/input/InputSettings.h"
#include "game/input/KeyBindings.h"
#include "game/input/VirtualGamepadJoystick.h"
#include "game/input/VirtualGamepadKeyboard.h"
#include "game/lobby/JoinedBy.h"
#include "game/lobby/JoiningPlayers.h"
#include "game/lobby/LinkLabel.h"
#include "game/looks/LookSettings.h"
#include "game/match/MatchFunctions.h"
#include "game/match/MatchRules.h"
#include "game/match/MatchSettings.h"
#include "game/players/PlayerColours.h"
#include "game/players/PlayerInfo.h"
#include "game/players/PlayerShapes.h"
#include "game/players/Seats.h"
#include "game/players/Sides.h"
#include "game/screens/JoinLayout.h"
#include "game/screens/JoinScreen.h"
#include "game/screens/JoinScreenView.h"
#include "game/screens/ScreenRegistry.h"

#include "engine/core/Settings.h"
#include "engine/core/SettingsEntry.h"
#include "engine/input/KeyNames.h"
#include "engine/input/PadButtons.h"
#include "engine/render/AnimatedModel.h"
#include "engine/render/Sprite.h"

#include "engine/network/HostMigration.h"
#include "engine/network/LinkReport.h"
#include "engine/network/LinkWatch.h"
#include "engine/render/Text.h"

#include "support/ShownText.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <set>
#include <thread>

using namespace skyscuffle;

namespace {

using namespace kit::keys;
using test::JoinScreen;

TEST_F(JoinScreen, AnnouncesItselfAndTellsHowToJoin)
{
    EXPECT_TRUE(logged("Initializing join sreen!"));
    EXPECT_TRUE(logged("Press (A) or X to join"));
    EXPECT_TRUE(logged("Press (B) or Z to leave"));
    EXPECT_EQ(network->screenName, "joinScreen");
    EXPECT_FALSE(discovery->hosting) << "a copy that is not hosting offers nothing";
    EXPECT_TRUE(discovery->announceNow);
    for (const char* line : {"Keyboard: Press X to join and Z to leave", "Press V to add AI and C to remove",
                             "Gamepad: Press (A) to join and (B) to leave", "Press (X) to add AI and (Y) to remove",
                             "Press Enter or (Start) to begin the round", "0 Remote Players Joined"})
        EXPECT_NE(shown().find(std::string(line) + "\n"), std::string::npos) << line;
}

TEST_F(JoinScreen, TheMascotPlaysItsIdleLoop)
{
    const int first = mascotFrameAfter(0.0f);
    ASSERT_GE(first, 0) << "no mascot playing";
    EXPECT_NE(mascotFrameAfter(0.5f), first);
}

TEST_F(JoinScreen, TheKeyboardJoinsOnceAndLeaves)
{
    tap(x);
    tap(x);
    EXPECT_EQ(players(), 1u) << "a device that already has a player cannot join twice";
    EXPECT_EQ(count("PlayerInfo added"), 1);
    const auto player = world()->getEntities(kit::typeId<PlayerInfo>())->toVector().front();
    EXPECT_NE(world()->getComponent<VirtualGamepadKeyboard>(player.id), nullptr);
    EXPECT_TRUE(world()->entityHasTag(player.id, kit::tagId("player")));
    EXPECT_EQ(world()->getComponent<PlayerInfo>(player.id)->number, 1u);
    EXPECT_NE(shown().find("keyboard"), std::string::npos) << "the roster names the player's device";
    // Its line starts with its shape, in the line's colour, the player's.
    const PlayerInfo& info = *world()->getComponent<PlayerInfo>(player.id);
    const std::optional<Shape> shape = shapeOfLivery(info.modelTexture);
    ASSERT_TRUE(shape.has_value());
    std::string line = std::string{glyphOf(*shape), ' '} + info.colourName;
    line.resize(2 + 9, ' '); // the names padded to the longest of any language's ("Vermelho") and a space
    EXPECT_NE(shown().find("\n" + line + "keyboard\n"), std::string::npos) << shown();

    tap(z);
    EXPECT_EQ(players(), 0u);
    EXPECT_EQ(count("Keyboard has left"), 1);
    tap(z);
    EXPECT_EQ(count("Keyboard has left"), 1) << "leaving without a player does nothing";
}

TEST_F(JoinScreen, TheHostPutsPlayersOnSidesAndEachKeyboardPlayerChangesItsOwn)
{
    const int t = kit::keys::fromName("T"), y = kit::keys::fromName("Y"), o = kit::keys::fromName("O");
    tap(x);
    tap(v);
    tap(o); // the second keyboard's player
    frame();
    std::vector<kit::EntityHandle> all = world()->getEntities(kit::typeId<PlayerInfo>())->toVector();
    ASSERT_EQ(all.size(), 3u);
    std::vector<std::optional<Side>> sides;
    for (const auto& p : all)
        sides.push_back(sideOf(*world(), p.id));
    EXPECT_EQ(sides, (std::vector<std::optional<Side>>{Side::sun, Side::moon, Side::sun})) << "balanced as they come";
    tap(t);
    EXPECT_EQ(sideOf(*world(), all[0].id), Side::moon) << "T moves the first keyboard's player";
    EXPECT_EQ(sideOf(*world(), all[2].id), Side::sun);
    tap(y);
    EXPECT_EQ(sideOf(*world(), all[2].id), Side::moon) << "Y moves the second's";
    EXPECT_EQ(sideOf(*world(), all[1].id), Side::moon) << "the computer pilot stays";
    // The roster shows each player's badge once the match ahead is a team match.
    const auto enabledSprites = [&] {
        int n = 0;
        for (kit::Component* c : *world()->getComponentCollection(kit::typeId<kit::Sprite>()))
            n += c->enabled;
        return n;
    };
    const int plain = enabledSprites();
    kit::settings::set(matchSettings::mode.key(), "2");
    kit::SettingsEntryBase::refreshAll();
    frame();
    EXPECT_EQ(enabledSprites() - plain, 3) << "a badge on each of the three lines";
    kit::settings::set(matchSettings::mode.key(), "0");
    kit::SettingsEntryBase::refreshAll();
    frame();
    EXPECT_EQ(enabledSprites(), plain);
    const std::string name = world()->getComponent<PlayerInfo>(all[0].id)->colourName;
    EXPECT_EQ(count(name + " plays for the Moon"), 1) << log.str();
}

TEST_F(JoinScreen, EveryPartOfAPlayerSurvivesTheSwitchToTheNextScreen)
{
    tap(x);
    tap(v);
    const auto before = world()->getEntities(kit::tagId("player"))->toVector();
    ASSERT_EQ(before.size(), 2u);
    app->setWorld(std::make_shared<kit::World>(createJoinScreen));
    frame();
    for (const auto& player : before) {
        EXPECT_NE(world()->getComponent<PlayerInfo>(player.id), nullptr);
        EXPECT_NE(world()->getComponent(player.id, kit::tagId("virtualGamepad")), nullptr);
        EXPECT_TRUE(world()->entityHasTag(player.id, kit::tagId("player")));
    }
    const auto pilot = before[1];
    auto* gamepad = world()->getComponent<VirtualGamepadAI>(pilot.id);
    ASSERT_NE(gamepad, nullptr);
    EXPECT_EQ(gamepad->ai, world()->getComponent<ArtificialIntelligence>(pilot.id))
        << "the computer pilot's gamepad still reads its own AI";
}

TEST_F(JoinScreen, ASecondKeyboardPlayerJoinsAndLeavesWithItsOwnKeys)
{
    const int o = kit::keys::fromName("O"), u = kit::keys::fromName("U");
    EXPECT_NE(shown().find("Keyboard 2: Press O to join and U to leave\n"), std::string::npos);
    tap(x);
    tap(o);
    tap(o); // once is enough
    ASSERT_EQ(players(), 2u);
    std::vector<int> sets;
    for (kit::Component* c : *world()->getComponentCollection(kit::typeId<VirtualGamepadKeyboard>()))
        sets.push_back(static_cast<VirtualGamepadKeyboard*>(c)->keySet);
    std::sort(sets.begin(), sets.end());
    EXPECT_EQ(sets, (std::vector<int>{0, 1})) << "each player on its own keys";
    EXPECT_NE(shown().find("keyboard 2"), std::string::npos);
    tap(u);
    EXPECT_EQ(players(), 1u);
    EXPECT_TRUE(logged("Keyboard 2 has left"));
    EXPECT_FALSE(logged("Keyboard has left")) << "the first keyboard's player stays";
}

TEST_F(JoinScreen, EachDeviceSetsTheStrengthOfTheLastComputerPilotItAdded)
{
    const int b = kit::keys::fromName("B");
    tap(b); // no pilot yet: nothing
    tap(v);
    tap(v);
    const auto strengthOf = [this](int number) {
        for (kit::Component* c : *world()->getComponentCollection(kit::typeId<PlayerInfo>())) {
            auto* info = static_cast<PlayerInfo*>(c);
            if (static_cast<int>(info->number) == number)
                return world()->getComponent<ArtificialIntelligence>(info->entityId)->strength;
        }
        ADD_FAILURE() << "no player " << number;
        return PilotStrength::normal;
    };
    EXPECT_EQ(strengthOf(1), defaultStrength());
    tap(b);
    EXPECT_EQ(strengthOf(2), PilotStrength::hard);
    EXPECT_EQ(strengthOf(1), PilotStrength::normal) << "only the last one added";
    EXPECT_TRUE(logged("Keyboard AI player 2 is now hard"));
    EXPECT_NE(shown().find("computer, hard"), std::string::npos);
    tap(b);
    EXPECT_EQ(strengthOf(2), PilotStrength::easy);
    tap(b);
    EXPECT_EQ(strengthOf(2), PilotStrength::normal);
    EXPECT_EQ(shown().find("computer, "), std::string::npos) << "a normal pilot is just a computer";
    EXPECT_NE(shown().find("B or (LB): the last AI's strength\n"), std::string::npos);

    plugPad(3);
    pressButton(3, 2); // X: a pilot of the pad's
    pressButton(3, 4); // the left shoulder
    EXPECT_EQ(strengthOf(3), PilotStrength::hard);
    EXPECT_EQ(strengthOf(2), PilotStrength::normal);
    EXPECT_TRUE(logged("Joystick 3 AI player 3 is now hard"));
}

TEST_F(JoinScreen, RebindingTheJoinKeyChangesWhatTheScreenSaysAndDoes)
{
    controls::bind(0, controls::Action::join, kit::keys::space);
    app->setWorld(std::make_shared<kit::World>(createJoinScreen));
    frame();
    EXPECT_NE(shown().find("Keyboard: Press SPACE to join and Z to leave\n"), std::string::npos) << shown();
    tap(x);
    EXPECT_EQ(players(), 0u) << "X joins no more";
    tap(kit::keys::space);
    EXPECT_EQ(players(), 1u);
    controls::resetToDefaults();
}

TEST_F(JoinScreen, ComputerPilotsComeAndGoAndRemovingNoneDoesNothing)
{
    tap(c);
    EXPECT_FALSE(logged("Keyboard AI has left")) << "removing an AI when there is none does nothing";
    tap(v);
    tap(v);
    EXPECT_TRUE(logged("Keyboard has joined an AI player 1"));
    EXPECT_TRUE(logged("Keyboard has joined an AI player 2"));
    EXPECT_EQ(world()->getEntities(kit::typeId<ArtificialIntelligence>())->size(), 2u);
    tap(x);
    tap(c);
    EXPECT_EQ(count("Keyboard AI has left"), 1);
    EXPECT_EQ(players(), 2u);
    // The pilot added last went; the first one and the keyboard player stay.
    std::set<std::uint32_t> numbers;
    for (const auto& e : world()->getEntities(kit::typeId<PlayerInfo>())->toVector())
        numbers.insert(world()->getComponent<PlayerInfo>(e.id)->number);
    EXPECT_EQ(numbers, (std::set<std::uint32_t>{1, 3}));
    tap(c);
    tap(c);
    EXPECT_EQ(count("Keyboard AI has left"), 2);
    EXPECT_EQ(players(), 1u) << "C never removes the keyboard's own player";
}

TEST_F(JoinScreen, ControlCAndTheRightShoulderCopyTheInviteCodeAndRemoveNoPilot)
{
    tap(v);
    gl.window->setClipboardText("kept");
    tap(c, 2); // Control+C
    EXPECT_EQ(count("No invite code to copy: only a host whose router forwards its port has one"), 1)
        << "a copy that does not host has no code";
    EXPECT_FALSE(logged("Keyboard AI has left")) << "Control+C is not the C that removes a pilot";
    EXPECT_EQ(world()->getEntities(kit::typeId<ArtificialIntelligence>())->size(), 1u);
    plugPad(0);
    pressButton(0, 5); // the right shoulder
    EXPECT_EQ(count("No invite code to copy: only a host whose router forwards its port has one"), 2);
    EXPECT_EQ(gl.window->clipboardText(), "kept");
    EXPECT_EQ(players(), 1u) << "the shoulder neither joins nor leaves";
}

TEST_F(JoinScreen, ASeventhPlayerIsRefusedWithOneLine)
{
    for (int i = 0; i < 7; ++i)
        tap(v);
    EXPECT_EQ(players(), 6u);
    EXPECT_EQ(count("All six colours are taken: no room for another player"), 1);
    EXPECT_FALSE(logged("Keyboard has joined an AI player 7"));
    std::set<std::string> colours;
    for (const auto& e : world()->getEntities(kit::typeId<PlayerInfo>())->toVector())
        colours.insert(world()->getComponent<PlayerInfo>(e.id)->colourName);
    EXPECT_EQ(colours.size(), 6u) << "six players, six colours";
    tap(x);
    EXPECT_EQ(players(), 6u);
    EXPECT_EQ(count("All six colours are taken: no room for another player"), 2);
}

TEST_F(JoinScreen, AColourLeftByAPlayerGoesToTheNext)
{
    for (int i = 0; i < 6; ++i)
        tap(v);
    const auto last = world()->getEntities(kit::typeId<PlayerInfo>())->toVector().back();
    const std::string freed = world()->getComponent<PlayerInfo>(last.id)->colourName;
    tap(c);
    tap(x);
    const auto keyboard = world()->getEntities(kit::typeId<VirtualGamepadKeyboard>())->toVector();
    ASSERT_EQ(keyboard.size(), 1u);
    EXPECT_EQ(world()->getComponent<PlayerInfo>(keyboard[0].id)->colourName, freed);
    EXPECT_EQ(world()->getComponent<PlayerInfo>(keyboard[0].id)->number, 6u);
}

TEST_F(JoinScreen, AGamepadPluggedInWhileTheGameRunsJoinsAtOnce)
{
    plugPad(3);
    pressButton(3, 0);
    pressButton(3, 0);
    EXPECT_EQ(count("Joystick 3 has joined as player 1"), 1);
    EXPECT_EQ(players(), 1u);
    const auto pad = world()->getEntities(kit::typeId<VirtualGamepadJoystick>())->toVector();
    ASSERT_EQ(pad.size(), 1u);
    EXPECT_EQ(world()->getComponent<VirtualGamepadJoystick>(pad[0].id)->joystick, &app->joysticks->joystick(3));

    pressButton(3, 2); // X: a computer pilot
    EXPECT_TRUE(logged("Joystick 3 has joined an AI player 2"));
    pressButton(3, 3); // Y: removes it
    EXPECT_TRUE(logged("Joystick 3 AI has left"));
    pressButton(3, 3);
    EXPECT_EQ(count("Joystick 3 AI has left"), 1);
    pressButton(3, 1); // B: leaves
    EXPECT_TRUE(logged("Joystick 3 has left"));
    EXPECT_EQ(players(), 0u);
}

TEST_F(JoinScreen, ADeviceRemovesOnlyTheComputerPilotsItAdded)
{
    plugPad(0);
    tap(v);
    pressButton(0, 3);
    EXPECT_FALSE(logged("Joystick 0 AI has left"));
    EXPECT_EQ(players(), 1u);
}

TEST_F(JoinScreen, EnterBeginsTheRoundThroughTheLoadingScreen)
{
    tap(x);
    kit::World* join = world();
    tap(enter);
    ASSERT_NE(world(), join);
    // The loading screen: its percentage and its background.
    EXPECT_NE(shown().find("%"), std::string::npos);
    EXPECT_NE(world()->getComponentCollection(kit::tagId("sprite"))->first(), nullptr);
    EXPECT_EQ(kit::NetworkSystem::of(world()), network) << "the services go along";
    EXPECT_EQ(entitiesWith("playerInfo"), 1u) << "and so do the players";
}

TEST_F(JoinScreen, NoRoundBeginsWhileACopyStillShowsItsWinScreen)
{
    network->recordPeer(kit::NetworkSystem::PeerRecord{{}, world()->origin + 1, "winScreen"});
    press(enter);
    EXPECT_EQ(app->pending, nullptr);
    network->recordPeer(kit::NetworkSystem::PeerRecord{{}, world()->origin + 1, "joinScreen"});
    press(enter);
    EXPECT_NE(app->pending, nullptr);
}

TEST_F(JoinScreen, EscapeAndBackReturnToTheMainMenu)
{
    tap(escape);
    EXPECT_TRUE(logged("Creating Main Menu"));
    app->setWorld(std::make_shared<kit::World>(createJoinScreen));
    frame();
    plugPad(2);
    pressButton(2, 8);
    EXPECT_EQ(count("Creating Main Menu"), 2);
}

} // namespace

namespace {

TEST_F(JoinScreen, TheHostTurnsDropInOnAndOffWithTabAndKeepsTheChoice)
{
    const std::string key = matchSettings::dropIn.key();
    EXPECT_EQ(shown().find("drop in"), std::string::npos) << "a copy that does not host has no say";
    tap(tab);
    EXPECT_TRUE(matchSettings::dropIn.value()) << "nor does its Tab";
    network->host(0, 4);
    frame();
    EXPECT_NE(shown().find(dropInLine(true) + "\n"), std::string::npos);
    tap(tab);
    EXPECT_FALSE(matchSettings::dropIn.value());
    EXPECT_TRUE(kit::settings::isPlayers(key)) << "kept among the player's choices";
    EXPECT_NE(shown().find("Tab: late players may drop in (off)\n"), std::string::npos);
    tap(tab);
    EXPECT_TRUE(matchSettings::dropIn.value());
    EXPECT_NE(shown().find("Tab: late players may drop in (on)\n"), std::string::npos);
    kit::settings::clearPlayer(key);
}

} // namespace

namespace {

TEST_F(JoinScreen, TheHostChoosesTheMatchsRulesAndAJoinedCopyShowsThem)
{
    const std::string length = matchSettings::matchLength.key(), pickups = matchSettings::pickups.key();
    const std::string mode = matchSettings::mode.key(), rounds = matchSettings::roundsToWin.key(),
                      fire = matchSettings::friendlyFire.key(), arena = matchSettings::arena.key();
    // From the defaults, whatever another test left in the player's file;
    // and the file without them after.
    const auto forget = [&] {
        for (const std::string& key : {length, pickups, mode, rounds, fire, arena}) {
            kit::settings::clearPlayer(key);
            kit::settings::clearForRun(key);
        }
        kit::settings::keepPlayerChoices();
        kit::SettingsEntryBase::refreshAll();
    };
    forget();
    frame();
    // A copy on its own is its own host.
    const auto shows = [&](const std::string& line) { return shown().find(line + "\n") != std::string::npos; };
    EXPECT_TRUE(shows("F7 or (Left): free-for-all"));
    EXPECT_TRUE(shows("F5 or (Right): a match of 3 min"));
    EXPECT_TRUE(shows("F6 or (Up): pick-ups normal"));
    EXPECT_EQ(shown().find("F8"), std::string::npos) << "no rounds in a free-for-all";
    EXPECT_EQ(shown().find("drop in"), std::string::npos) << "hosting nobody, nobody drops in";
    tap(kit::keys::f5);
    tap(kit::keys::f6);
    frame();
    EXPECT_TRUE(shows("F5 or (Right): a match of 4 min"));
    EXPECT_TRUE(shows("F6 or (Up): pick-ups many"));
    plugPad(2);
    pressButton(2, kit::pad::right);
    pressButton(2, kit::pad::up);
    frame();
    EXPECT_TRUE(shows("F5 or (Right): a match of 5 min"));
    EXPECT_TRUE(shows("F6 or (Up): pick-ups off"));
    EXPECT_TRUE(kit::settings::isPlayers(length));
    EXPECT_TRUE(kit::settings::isPlayers(pickups));
    // Last plane standing: its rounds, by key and by pad.
    tap(kit::keys::f7);
    frame();
    EXPECT_TRUE(shows("F7 or (Left): last plane standing"));
    EXPECT_TRUE(shows("F8 or (Down): first to 3 rounds"));
    EXPECT_TRUE(shows("F5 or (Right): rounds of 5 min"));
    tap(kit::keys::f8);
    pressButton(2, kit::pad::down);
    frame();
    EXPECT_TRUE(shows("F8 or (Down): first to 5 rounds"));
    pressButton(2, kit::pad::down);
    frame();
    EXPECT_TRUE(shows("F8 or (Down): first to 1 round"));
    // A team match: friendly fire, and how a player changes side.
    pressButton(2, kit::pad::left);
    frame();
    EXPECT_TRUE(shows("F7 or (Left): team match"));
    EXPECT_TRUE(shows("F8 or (Down): friendly fire off"));
    EXPECT_TRUE(shows("T, Y or (R-stick): change side"));
    EXPECT_EQ(shown().find("first to"), std::string::npos) << "rounds are last plane standing's";
    tap(kit::keys::f8);
    frame();
    EXPECT_TRUE(shows("F8 or (Down): friendly fire on"));
    pressButton(2, kit::pad::left);
    pressButton(2, kit::pad::left);
    frame();
    EXPECT_TRUE(shows("F7 or (Left): last plane standing")) << "round the modes and back";
    EXPECT_TRUE(shows("F8 or (Down): first to 1 round")) << "F8 in the team match left the rounds alone";
    EXPECT_TRUE(kit::settings::isPlayers(mode));
    EXPECT_TRUE(kit::settings::isPlayers(rounds));
    // The arena, by key and by pad, with its picture.
    const auto pictured = [&] {
        std::vector<kit::EntityHandle> pictures = world()->getEntities(kit::tagId("arenaPreview"))->toVector();
        std::sort(pictures.begin(), pictures.end(),
                  [](const kit::EntityHandle& a, const kit::EntityHandle& b) { return a.id.serial < b.id.serial; });
        std::string on;
        for (std::size_t i = 0; i < pictures.size(); ++i)
            on += world()->getComponent<kit::Sprite>(pictures[i].id)->enabled ? std::to_string(i) : "";
        return std::to_string(pictures.size()) + " pictures, shown " + on;
    };
    EXPECT_TRUE(shows("F9 or (L-stick): Meadow"));
    EXPECT_EQ(pictured(), "3 pictures, shown 0");
    tap(kit::keys::f9);
    frame();
    EXPECT_TRUE(shows("F9 or (L-stick): Canyon"));
    EXPECT_EQ(pictured(), "3 pictures, shown 1");
    pressButton(2, kit::pad::leftStick);
    frame();
    EXPECT_TRUE(shows("F9 or (L-stick): Harbour"));
    EXPECT_EQ(pictured(), "3 pictures, shown 2");
    EXPECT_TRUE(kit::settings::isPlayers(arena));

    // A joined copy: its keys change nothing; it shows what its host said.
    network->startAs(kit::NetworkSystem::Role::client);
    frame();
    EXPECT_EQ(shown().find("ick-ups"), std::string::npos) << "nothing heard from the host yet";
    EXPECT_EQ(shown().find("arena"), std::string::npos);
    EXPECT_EQ(pictured(), "3 pictures, shown ");
    tap(kit::keys::f5);
    EXPECT_EQ(chosenRules().seconds, 300.0f);
    tap(kit::keys::f7);
    tap(kit::keys::f8);
    EXPECT_EQ(chosenRules().mode, Mode::lastPlaneStanding);
    EXPECT_EQ(chosenRules().roundsToWin, 1);
    network->callFunction(fn::matchRules, world()->systemEntity(), MatchRules{600.0f, Pickups::few});
    network->callFunction(fn::matchRules, world()->systemEntity(), MatchRules{9999.0f, Pickups::few}); // refused
    frame();
    EXPECT_TRUE(shows("The host's match: free-for-all"));
    EXPECT_TRUE(shows("A match of 10 min"));
    EXPECT_TRUE(shows("Pick-ups: few"));
    EXPECT_EQ(shown().find("F5"), std::string::npos) << "the host chooses";
    EXPECT_EQ(shown().find("F7"), std::string::npos);
    network->callFunction(fn::matchRules, world()->systemEntity(),
                          MatchRules{90.0f, Pickups::many, Mode::lastPlaneStanding, 4});
    network->callFunction(fn::matchRules, world()->systemEntity(),
                          MatchRules{90.0f, Pickups::many, Mode::lastPlaneStanding, 10}); // refused
    frame();
    EXPECT_TRUE(shows("The host's match: last plane standing"));
    EXPECT_TRUE(shows("First to 4, rounds of 1:30"));
    network->callFunction(fn::matchRules, world()->systemEntity(),
                          MatchRules{120.0f, Pickups::normal, Mode::teams, 3, true});
    frame();
    EXPECT_TRUE(shows("The host's match: team match"));
    EXPECT_TRUE(shows("Friendly fire on"));
    EXPECT_TRUE(shows("The host's arena: Meadow"));
    EXPECT_EQ(pictured(), "3 pictures, shown 0") << "the host's, not this copy's own harbour";
    tap(kit::keys::f9);
    EXPECT_EQ(chosenRules().arena, 2) << "the host chooses";
    network->callFunction(fn::matchRules, world()->systemEntity(),
                          MatchRules{120.0f, Pickups::normal, Mode::teams, 3, true, 1});
    network->callFunction(fn::matchRules, world()->systemEntity(),
                          MatchRules{120.0f, Pickups::normal, Mode::teams, 3, true, 3}); // refused
    frame();
    EXPECT_TRUE(shows("The host's arena: Canyon"));
    EXPECT_EQ(pictured(), "3 pictures, shown 1");
    EXPECT_TRUE(shows("T, Y or (R-stick): change side")) << "a joined copy's players change side too";
    hostsRules().reset();
    forget();
}

// Auto-fire is a plane's: the players who chose it fire in the match with
// nothing held, while their gamepads hold no gun, and so no "join", on the
// join screen; each match starts them firing again.
TEST_F(JoinScreen, AutoFireFiresOnlyInTheMatchAndEachMatchStartsItAgain)
{
    struct Chosen {
        Chosen()
        {
            for (const std::string& key : keys())
                kit::settings::setPlayer(key, "1");
        }
        ~Chosen()
        {
            for (const std::string& key : keys())
                kit::settings::clearPlayer(key);
        }
        static std::vector<std::string> keys()
        {
            return {inputSettings::keyboardAutoFire[0].key(), inputSettings::padAutoFire[0].key()};
        }
    } chosen;
    tap(x);
    plugPad(0);
    pressButton(0, kit::pad::a);
    ASSERT_EQ(players(), 2u);
    const auto gunsDown = [this] {
        int down = 0;
        for (kit::Component* c : *world()->getComponentCollection(kit::typeId<VirtualGamepad>()))
            down += static_cast<VirtualGamepad*>(c)->isButtonDown(VirtualGamepad::gun);
        return down;
    };
    frames(3);
    EXPECT_EQ(gunsDown(), 0) << "nobody holds the gun here";

    app->setWorld(std::make_shared<kit::World>(screens::matchWorld()));
    frames(3);
    ASSERT_EQ(entitiesWith("plane"), 2u);
    EXPECT_EQ(gunsDown(), 2) << "both fire with nothing held";
    EXPECT_GT(entitiesWith("bullet"), 0u);
    gl.window->key(x, 0, 1, 0); // the keyboard player's fire key: stop
    frame();
    gl.window->key(x, 0, 0, 0);
    frame();
    EXPECT_EQ(gunsDown(), 1) << "the pad's player fires on";

    app->setWorld(std::make_shared<kit::World>(createJoinScreen));
    frames(3);
    EXPECT_EQ(gunsDown(), 0) << "back on the join screen nobody holds the gun";
    EXPECT_EQ(players(), 2u);
    EXPECT_EQ(count("Joystick 0 has joined as player 2"), 1);

    app->setWorld(std::make_shared<kit::World>(screens::matchWorld()));
    frames(3);
    EXPECT_EQ(gunsDown(), 2) << "the next match starts both firing";
}

TEST_F(JoinScreen, APadsPlayerIsNamedByItsPadNumberFromOneAsOnTheOptionsScreen)
{
    plugPad(0);
    pressButton(0, kit::pad::a);
    plugPad(2);
    pressButton(2, kit::pad::a);
    ASSERT_EQ(players(), 2u);
    EXPECT_NE(shown().find("gamepad 1\n"), std::string::npos) << shown();
    EXPECT_NE(shown().find("gamepad 3\n"), std::string::npos);
    EXPECT_EQ(shown().find("gamepad 0\n"), std::string::npos);
}

// At twice the text size the controls are a few lines at a time, turning
// every five seconds; the arena is named without its picture, and the
// mascot stays away.
TEST_F(JoinScreen, AtTwiceTheTextSizeTheControlsTurnLikePagesAndTheArenaIsNamedAlone)
{
    kit::settings::set(lookSettings::textSize.key(), "200");
    app->setWorld(std::make_shared<kit::World>(createJoinScreen));
    frame();
    ASSERT_EQ(joinLayout().perPage, 3) << "the pages below are of three lines";
    const std::string keyboard = "Keyboard: Press X to join and Z to leave";
    const std::string pad = "Gamepad: Press (A) to join and (B) to leave";
    const std::string begin = "Press Enter or (Start) to begin the round";
    const auto page = [this](const std::string& number, const std::string& line, const std::string& notShown) {
        EXPECT_TRUE(test::showsText(*world(), "Join the match (" + number + ")")) << number;
        EXPECT_TRUE(test::showsText(*world(), line)) << number;
        EXPECT_FALSE(test::showsText(*world(), notShown)) << number;
    };
    page("1/3", keyboard, pad);
    frame(4.9f);
    page("1/3", keyboard, pad);
    frame(0.2f);
    page("2/3", pad, keyboard);
    EXPECT_TRUE(test::showsText(*world(), "Press (X) to add AI and (Y) to remove"));
    frame(5.0f);
    page("3/3", begin, pad);
    frame(5.0f);
    page("1/3", keyboard, begin);

    EXPECT_EQ(entitiesWith("arenaPreview"), 0u) << "no picture";
    EXPECT_TRUE(test::showsText(*world(), "F9 or (L-stick): Meadow"));
    EXPECT_EQ(world()->getComponentCollection(kit::typeId<kit::AnimatedModel>())->size(), 0u) << "no mascot";
    kit::settings::set(lookSettings::textSize.key(), std::to_string(lookSettings::textSize.fallback()));
}

TEST_F(JoinScreen, AtTheFirstTextSizeEveryControlShowsAtOnceBesideTheArenasPicture)
{
    EXPECT_TRUE(test::showsText(*world(), "Join the match"));
    EXPECT_TRUE(test::showsText(*world(), "Keyboard: Press X to join and Z to leave"));
    EXPECT_TRUE(test::showsText(*world(), "Press Enter or (Start) to begin the round"));
    EXPECT_EQ(entitiesWith("arenaPreview"), 3u);
    EXPECT_EQ(world()->getComponentCollection(kit::typeId<kit::AnimatedModel>())->size(), 1u) << "the mascot";
}

} // namespace
