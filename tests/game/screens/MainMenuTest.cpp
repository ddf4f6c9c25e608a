// The main menu driven by key presses and joystick buttons through the real
// frame loop: moving, wrapping, the Sound switch, Exit, and what entering it
// does to the players of a network session.
#include "ScreenFixture.h"

#include "engine/core/Translation.h"
#include "game/screens/MainMenuLayout.h"

#include "game/screens/JoinScreen.h"
#include "game/screens/MainMenu.h"
#include "game/screens/MainMenuLayout.h"
#include "game/screens/ReplaysScreen.h"

#include "game/match/MatchFunctions.h"
#include "game/match/MatchReplay.h"
#include "game/players/PlayerColours.h"
#include "game/players/PlayerInfo.h"
#include "game/widgets/Icon.h"
#include "game/widgets/PictureMenu.h"

#include "engine/core/Translation.h"
#include "engine/physics/Transform.h"
#include "engine/render/Sprite.h"

using namespace skyscuffle;

namespace {

using kit::keys::down;
using kit::keys::enter;
using kit::keys::up;

class MainMenu : public test::Screens {
protected:
    void SetUp() override
    {
        Screens::SetUp();
        start(createMainMenu);
        frame();
    }
    PictureMenu& cursor()
    {
        return *static_cast<PictureMenu*>(world()->getComponentCollection(kit::typeId<PictureMenu>())->first());
    }
    Icon& soundIcon() { return *static_cast<Icon*>(world()->getComponentCollection(kit::typeId<Icon>())->first()); }
};

class MainMenuStart : public test::Screens {};

TEST_F(MainMenu, ItsWordsArePicturesInTheLanguageInForceWhereTheDataHasThem)
{
    using mainMenuLayout::localised;
    kit::setLanguage("de");
    EXPECT_EQ(localised("optionQuickPlay.png"), "sprites/menu/main/de/optionQuickPlay.png");
    EXPECT_EQ(localised("onoff.png"), "sprites/menu/main/de/onoff.png");
    EXPECT_EQ(localised("menuBackground.png"), "sprites/menu/main/menuBackground.png") << "none of its own";
    kit::setLanguage("pt_BR");
    EXPECT_EQ(localised("optionExit.png"), "sprites/menu/main/pt_BR/optionExit.png");
    kit::setLanguage(kit::pseudoLanguage);
    EXPECT_EQ(localised("optionExit.png"), "sprites/menu/main/optionExit.png");
    kit::setLanguage("en");
    EXPECT_EQ(localised("optionExit.png"), "sprites/menu/main/optionExit.png");
}

TEST_F(MainMenu, TheCursorIsDrawnBesideTheOptionsOverTheLandscape)
{
    const kit::EntityID cursorEntity = cursor().entityId;
    const auto* cursorAt = world()->getComponent<kit::Transform>(cursorEntity);
    int pictures = 0;
    for (const auto& e : world()->getEntities(kit::typeId<kit::Sprite>())->toVector()) {
        const auto* at = world()->getComponent<kit::Transform>(e.id);
        if (!at || at->parentTransform() != cursorAt)
            continue;
        ++pictures;
        EXPECT_TRUE(world()->entityHasTag(e.id, kit::tagId("hudSpace")));
        EXPECT_FALSE(world()->entityHasTag(e.id, kit::tagId("gameSpace")));
    }
    EXPECT_EQ(pictures, 1);
}

TEST_F(MainMenuStart, WhatTheMenuShowsAtOnceIsRequestedBeforeTheWindowAndItsFramesAreFew)
{
    // Each test runs in a process of its own: nothing is cached before this.
    prefetchMainMenu();
    start(createMainMenu);
    frame();
    EXPECT_TRUE(logged("Creating Main Menu"));
    EXPECT_EQ(log.str().find("Cold-loading"), std::string::npos) << log.str();
    // A still menu needs no more than 30 frames a second.
    EXPECT_GT(world()->maxFrameRate, 0.0f);
    EXPECT_LE(world()->maxFrameRate, 30.0f);
}

TEST_F(MainMenu, ShowsSevenOptionsWithTheCursorOnTheFirst)
{
    EXPECT_TRUE(logged("Creating Main Menu"));
    EXPECT_EQ(cursor().count(), 7);
    EXPECT_EQ(cursor().selected, 0);
    const char* const screens[] = {"game", "online", "", "options", "replays", "credits", "exit"};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(cursor().option(i).name, screens[i]) << i;
    // The cursor's entity stands at its position for the first option.
    const auto* place = world()->getComponent<kit::Transform>(cursor().entityId);
    ASSERT_NE(place, nullptr);
    EXPECT_FLOAT_EQ(place->position.x, -0.3f);
    EXPECT_FLOAT_EQ(place->position.y, 0.43f + 0.09f);
}

TEST_F(MainMenu, UpOnTheFirstOptionSelectsTheLastAndDownOnTheLastTheFirst)
{
    tap(up);
    EXPECT_EQ(cursor().selected, 6);
    EXPECT_TRUE(logged("Position Moved Up"));
    const auto* place = world()->getComponent<kit::Transform>(cursor().entityId);
    EXPECT_FLOAT_EQ(place->position.y, 0.43f - 0.14f * 6.0f + 0.09f) << "the cursor follows to the last option";
    tap(down);
    EXPECT_EQ(cursor().selected, 0);
    EXPECT_TRUE(logged("Position Moved Down"));
    tap(down);
    EXPECT_EQ(cursor().selected, 1);
}

TEST_F(MainMenu, TheDirectionalPadMovesTheCursorToo)
{
    plugPad(0);
    pressButton(0, 12); // up
    EXPECT_EQ(cursor().selected, 6);
    pressButton(0, 14); // down
    EXPECT_EQ(cursor().selected, 0);
}

TEST_F(MainMenu, SoundTwiceReturnsTheSwitchToItsStart)
{
    ASSERT_TRUE(sounds->soundOn);
    EXPECT_EQ(soundIcon().textures[soundIcon().shown], "sprites/menu/main/onon.png");
    tap(down);
    tap(down);
    tap(enter);
    EXPECT_FALSE(sounds->soundOn);
    EXPECT_EQ(soundIcon().textures[soundIcon().shown], "sprites/menu/main/offoff.png") << "the picture says OFF";
    EXPECT_EQ(app->pending, nullptr) << "Sound switches no screen";
    tap(enter);
    EXPECT_TRUE(sounds->soundOn);
    EXPECT_EQ(soundIcon().textures[soundIcon().shown], "sprites/menu/main/onon.png");
}

TEST_F(MainMenu, WithSoundOffTheMenuOpensOnThePictureThatSaysOff)
{
    sounds->soundOn = false;
    app->setWorld(std::make_shared<kit::World>(createMainMenu));
    frame();
    EXPECT_EQ(soundIcon().textures[soundIcon().shown], "sprites/menu/main/onoff.png");
    tap(down);
    tap(down);
    tap(enter);
    EXPECT_TRUE(sounds->soundOn);
    EXPECT_EQ(soundIcon().textures[soundIcon().shown], "sprites/menu/main/offon.png") << "the picture says ON";
}

TEST_F(MainMenu, ExitEndsTheProgramAfterTheFrame)
{
    tap(up);
    press(enter);
    EXPECT_FALSE(app->running);
    kit::World* menu = world();
    frame(); // the frame still draws, and nothing replaces the menu
    EXPECT_EQ(world(), menu);
    app->run(); // returns at once
    EXPECT_TRUE(logged("World Changed"));
}

TEST_F(MainMenu, OptionsOpensTheOptionsScreen)
{
    for (int i = 0; i < 3; ++i)
        tap(down);
    tap(enter);
    EXPECT_TRUE(logged("Creating Options Screen"));
}

TEST_F(MainMenu, ReplaysOpensTheReplaysScreen)
{
    for (int i = 0; i < 4; ++i)
        tap(down);
    tap(enter);
    EXPECT_TRUE(logged("Creating Replays Screen"));
}

TEST(ReplaysScreenRules, AReplaysPickupsAreNamedWhenItsHeaderKeepsThem)
{
    kit::ReplayHeader header;
    EXPECT_EQ(replayRulesLine(header), "") << "a replay from before they were kept";
    header.settings = {{"tuning.gameWorld.gravity", "-30"}, {"tuning.gameWorld.pickups", "0"}};
    EXPECT_EQ(replayRulesLine(header), "Pick-ups: off");
    header.settings.back().second = "3";
    EXPECT_EQ(replayRulesLine(header), "Pick-ups: many");
    // A file is anybody's: what is no pick-ups choice says nothing.
    for (const char* odd : {"4", "-1", "", "12", "x", "2 "}) {
        header.settings.back().second = odd;
        EXPECT_EQ(replayRulesLine(header), "") << odd;
    }
    // A match of rounds says so, and how many won it.
    header.settings = {
        {"tuning.gameWorld.pickups", "1"}, {"tuning.gameWorld.mode", "1"}, {"tuning.gameWorld.roundsToWin", "4"}};
    EXPECT_EQ(replayRulesLine(header), "Last plane standing\nfirst to 4\nPick-ups: few");
    header.settings[1].second = "0";
    EXPECT_EQ(replayRulesLine(header), "Pick-ups: few");
    for (const char* odd : {"0", "10", "x", ""}) {
        header.settings = {
            {"tuning.gameWorld.pickups", "1"}, {"tuning.gameWorld.mode", "1"}, {"tuning.gameWorld.roundsToWin", odd}};
        EXPECT_EQ(replayRulesLine(header), "Pick-ups: few") << odd;
    }
    header.settings = {
        {"tuning.gameWorld.pickups", "1"}, {"tuning.gameWorld.mode", "2"}, {"tuning.gameWorld.roundsToWin", "3"}};
    EXPECT_EQ(replayRulesLine(header), "Team match\nPick-ups: few");
    header.settings[1].second = "3";
    EXPECT_EQ(replayRulesLine(header), "Pick-ups: few") << "a mode this copy does not know";
    // Where it was flown, when recorded, before the pick-ups.
    header.settings = {{"tuning.gameWorld.pickups", "3"}, {"tuning.gameWorld.arena", "2"}};
    EXPECT_EQ(replayRulesLine(header), "Harbour, pick-ups: many");
    header.settings.back().second = "1";
    EXPECT_EQ(replayRulesLine(header), "Canyon, pick-ups: many");
    header.settings.back().second = "0";
    EXPECT_EQ(replayRulesLine(header), "Meadow, pick-ups: many");
    header.settings.push_back({"tuning.gameWorld.mode", "1"});
    header.settings.push_back({"tuning.gameWorld.roundsToWin", "2"});
    EXPECT_EQ(replayRulesLine(header), "Last plane standing\nfirst to 2\nMeadow, pick-ups: many");
    for (const char* odd : {"3", "-1", "", "10", "x"}) {
        header.settings = {{"tuning.gameWorld.pickups", "3"}, {"tuning.gameWorld.arena", odd}};
        EXPECT_EQ(replayRulesLine(header), "Pick-ups: many") << odd;
    }
}

TEST(ReplaysScreenRules, TheListSaysWhatTheRecordingMatchPlayedBy)
{
    kit::World world;
    EXPECT_EQ(replayRulesLine(matchReplayHeader(world, {}, MatchRules{60.0f, Pickups::few})), "Meadow, pick-ups: few");
    EXPECT_EQ(replayRulesLine(
                  matchReplayHeader(world, {}, MatchRules{60.0f, Pickups::many, Mode::lastPlaneStanding, 2, false, 1})),
              "Last plane standing\nfirst to 2\nCanyon, pick-ups: many");
    EXPECT_EQ(replayRulesLine(matchReplayHeader(world, {}, MatchRules{60.0f, Pickups::off, Mode::teams, 3, true, 2})),
              "Team match\nHarbour, pick-ups: off");
}

TEST_F(MainMenu, QuickPlayOpensTheJoinScreenAfterTheFrame)
{
    press(enter);
    EXPECT_NE(app->pending, nullptr);
    EXPECT_FALSE(logged("Initializing join sreen!")) << "the switch waits for the end of the update";
    frame();
    EXPECT_TRUE(logged("World Changed"));
    EXPECT_TRUE(logged("Initializing join sreen!"));
    EXPECT_EQ(network->screenName, "joinScreen");
}

TEST_F(MainMenu, JoystickStartChoosesTheOption)
{
    plugPad(1);
    pressButton(1, 9);
    EXPECT_TRUE(logged("Initializing join sreen!"));
}

TEST_F(MainMenu, ReturningToTheMenuRemovesOnlyTheOtherCopiesPlayers)
{
    tap(enter); // join screen
    tap(kit::keys::x);
    // A player of another copy, announced the way that copy does it.
    const kit::EntityID remote{world()->origin + 1, 7};
    network->callFunction(fn::spawnPersistantPlayer, remote, playerColours()[3], 2);
    ASSERT_EQ(entitiesWith("playerInfo"), 2u);
    discovery->hosting = true;

    tap(kit::keys::escape);
    EXPECT_EQ(count("Creating Main Menu"), 2);
    EXPECT_EQ(entitiesWith("playerInfo"), 1u);
    EXPECT_EQ(world()->getComponent<PlayerInfo>(remote), nullptr);
    EXPECT_EQ(entitiesWith("player"), 1u);
    for (const auto& player : world()->getEntities(kit::tagId("player"))->toVector())
        EXPECT_TRUE(world()->owns(player.id));
    EXPECT_FALSE(discovery->hosting);
    EXPECT_TRUE(network->peers().empty());
}

} // namespace
