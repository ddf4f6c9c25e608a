// The win screen: the players by score with the winner named in its colour,
// the other copies' players marked, and the ways back to the join screen
// (players kept) and the main menu.
#include "ScreenFixture.h"

#include "game/match/MatchFunctions.h"
#include "game/players/PlayerColours.h"
#include "game/players/PlayerInfo.h"
#include "game/players/PlayerShapes.h"
#include "game/screens/JoinScreen.h"
#include "game/screens/WinScreen.h"
#include "game/widgets/Overlay.h"

#include "engine/core/Translation.h"
#include "engine/render/Text.h"
#include "support/ShownText.h"

using namespace skyscuffle;

namespace {

using namespace kit::keys;

class WinScreen : public test::Screens {
protected:
    // Three players on the join screen: two of this copy, one of another.
    void SetUp() override
    {
        Screens::SetUp();
        start(createJoinScreen);
        frame();
        tap(x);
        tap(v);
        const auto own = world()->getEntities(kit::typeId<PlayerInfo>())->toVector();
        keyboardPlayer = own[0].id;
        pilot = own[1].id;
        remote = kit::EntityID{world()->origin + 1, 9};
        network->callFunction(fn::spawnPersistantPlayer, remote, playerColours()[3], 3);
    }
    void showScores(ScoreTable table)
    {
        app->setWorld(std::make_shared<kit::World>(WinScreenInit{std::move(table)}));
        frame();
    }
    const PlayerInfo& info(kit::EntityID id) { return *world()->getComponent<PlayerInfo>(id); }

    kit::EntityID keyboardPlayer, pilot, remote;
};

TEST_F(WinScreen, ListsThePlayersByScoreWithTheWinnerInItsColour)
{
    showScores({{keyboardPlayer, 3}, {remote, 7}, {pilot, -1}});
    EXPECT_EQ(network->screenName, "winScreen");
    const auto lines = winLines(world(), {{keyboardPlayer, 3}, {remote, 7}, {pilot, -1}});
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].text, info(remote).colourName + " (remote) Wins!");
    EXPECT_EQ(lines[0].points, "  7");
    EXPECT_EQ(lines[0].colour, info(remote).colour);
    EXPECT_EQ(lines[1].text, info(keyboardPlayer).colourName);
    EXPECT_EQ(lines[1].points, "  3");
    EXPECT_EQ(lines[2].text, info(pilot).colourName);
    EXPECT_EQ(lines[2].points, " -1");
}

TEST_F(WinScreen, ThePlayerReadsTheTableInTheirLanguageAndTheLogKeepsEnglish)
{
    kit::setCatalogFolder(std::filesystem::path(SKYSCUFFLE_BINARY_DIR) / "locale");
    kit::setLanguage("de");
    app->setWorld(std::make_shared<kit::World>(WinScreenInit{{{keyboardPlayer, 3}, {remote, 7}}, true, 2}));
    frame();
    const std::string remoteName = info(remote).colourName;
    EXPECT_TRUE(logged(remoteName + " (remote) Wins!   7"));
    EXPECT_TRUE(
        logged("Watching: " + info(keyboardPlayer).colourName + ", " + info(pilot).colourName + " and 2 other copies"));
    const auto lines = winLines(world(), {{keyboardPlayer, 3}, {remote, 7}});
    EXPECT_EQ(lines[0].logged, remoteName + " (remote) Wins!");
    EXPECT_EQ(lines[0].text, "Rot (extern) gewinnt!") << "the colour's name in German too";
    EXPECT_EQ(lines[1].text, kit::tr(info(keyboardPlayer).colourName.c_str()));
    EXPECT_TRUE(test::showsText(*world(), watchersLine(world(), true, 2)));
    EXPECT_NE(watchersLine(world(), true, 2), watchersLine(world(), true, 2, false));
    kit::setLanguage("en");
}

TEST_F(WinScreen, EveryPlayersShapeStandsBeforeItsNameInItsColour)
{
    showScores({{keyboardPlayer, 3}, {remote, 7}, {kit::EntityID{world()->origin, 999}, 1}});
    const auto lines = winLines(world(), {{keyboardPlayer, 3}, {remote, 7}, {kit::EntityID{world()->origin, 999}, 1}});
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].shape, Shape::cross) << "the remote player's colour is the red";
    EXPECT_EQ(lines[0].shapeColour, info(remote).colour);
    EXPECT_EQ(lines[1].shape, shapeOfLivery(info(keyboardPlayer).modelTexture));
    EXPECT_NE(lines[1].shape, std::nullopt);
    EXPECT_EQ(lines[2].shape, std::nullopt) << "a player who left has no shape";
    // Drawn: each shape a text of its own, in its player's colour as bright as it goes.
    const auto drawnIn = [&](Shape shape, glm::vec3 colour) {
        for (kit::Component* c : *world()->getComponentCollection(kit::typeId<kit::Text>())) {
            const auto* text = static_cast<const kit::Text*>(c);
            if (text->text() == std::string{glyphOf(shape)} && text->colour == colour)
                return true;
        }
        return false;
    };
    EXPECT_TRUE(drawnIn(Shape::cross, widgets::vivid(info(remote).colour)));
    EXPECT_TRUE(drawnIn(*lines[1].shape, widgets::vivid(info(keyboardPlayer).colour)));
}

TEST_F(WinScreen, EqualScoresKeepTheMatchOrder)
{
    showScores({});
    const auto lines = winLines(world(), {{pilot, 2}, {keyboardPlayer, 2}});
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, info(pilot).colourName + " Wins!");
    EXPECT_EQ(lines[1].text, info(keyboardPlayer).colourName);
    // The plane shown above the table is the one its first line names.
    EXPECT_EQ(winnerOf(world(), {{pilot, 2}, {keyboardPlayer, 2}}), &info(pilot));
    EXPECT_EQ(winnerOf(world(), {{keyboardPlayer, 2}, {pilot, 2}}), &info(keyboardPlayer));
    EXPECT_EQ(winnerOf(world(), {{keyboardPlayer, 3}, {remote, 7}, {pilot, -1}}), &info(remote));
    EXPECT_EQ(winnerOf(world(), {}), nullptr);
}

TEST_F(WinScreen, APlaneWhosePlayerLeftIsStillListed)
{
    showScores({});
    const auto lines = winLines(world(), {{kit::EntityID{world()->origin, 999}, 12}});
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].points, " 12");
    EXPECT_NE(lines[0].text.find(" Wins!"), std::string::npos);
}

TEST_F(WinScreen, EnterReturnsToTheJoinScreenWithThePlayers)
{
    showScores({{keyboardPlayer, 1}});
    const int joinScreens = count("Initializing join sreen!");
    tap(enter);
    EXPECT_EQ(count("Initializing join sreen!"), joinScreens + 1);
    EXPECT_EQ(network->screenName, "joinScreen");
    EXPECT_EQ(entitiesWith("playerInfo"), 3u);
}

TEST_F(WinScreen, StartOrAReturnToTheJoinScreenAndBackToTheMainMenu)
{
    plugPad(0);
    showScores({{keyboardPlayer, 1}});
    const int joinScreens = count("Initializing join sreen!");
    pressButton(0, 0);
    EXPECT_EQ(count("Initializing join sreen!"), joinScreens + 1);
    showScores({{keyboardPlayer, 1}});
    pressButton(0, 9);
    EXPECT_EQ(count("Initializing join sreen!"), joinScreens + 2);
    showScores({{keyboardPlayer, 1}});
    pressButton(0, 8);
    EXPECT_TRUE(logged("Creating Main Menu"));
    EXPECT_EQ(entitiesWith("playerInfo"), 2u) << "the other copy's player is gone with the session";
}

TEST_F(WinScreen, EscapeGoesToTheMainMenu)
{
    showScores({{keyboardPlayer, 1}});
    tap(escape);
    EXPECT_TRUE(logged("Creating Main Menu"));
}

} // namespace

TEST_F(WinScreen, WhoWatchedIsNamedUnderTheTable)
{
    // This copy's own players by colour, in id order; another copy's never.
    const std::string own = info(keyboardPlayer).colourName + ", " + info(pilot).colourName;
    EXPECT_EQ(watchersLine(world(), true, 0), "Watching: " + own);
    EXPECT_EQ(watchersLine(world(), true, 1), "Watching: " + own + " and 1 other copy");
    EXPECT_EQ(watchersLine(world(), true, 3), "Watching: " + own + " and 3 other copies");
    EXPECT_EQ(watchersLine(world(), false, 1), "Watching: 1 copy");
    EXPECT_EQ(watchersLine(world(), false, 2), "Watching: 2 copies");
    EXPECT_EQ(watchersLine(world(), false, 0), "") << "nobody watched";

    app->setWorld(std::make_shared<kit::World>(WinScreenInit{{{keyboardPlayer, 3}, {remote, 7}}, false, 2}));
    frame();
    bool shown = false;
    for (kit::Component* c : *world()->getComponentCollection(kit::typeId<kit::Text>()))
        shown = shown || static_cast<kit::Text*>(c)->text() == "Watching: 2 copies";
    EXPECT_TRUE(shown);

    // A copy that watched with no players of its own.
    for (const kit::EntityID id : {keyboardPlayer, pilot})
        world()->destroyEntityNow(kit::EntityHandle{id, world()});
    EXPECT_EQ(watchersLine(world(), true, 0), "Watching: this copy");
}

TEST_F(WinScreen, AMatchOfRoundsSaysItsPointsAreRoundsWon)
{
    const auto says = [&](const std::string& words) {
        for (kit::Component* c : *world()->getComponentCollection(kit::typeId<kit::Text>()))
            if (static_cast<kit::Text*>(c)->text() == words)
                return true;
        return false;
    };
    app->setWorld(std::make_shared<kit::World>(WinScreenInit{{{keyboardPlayer, 1}, {remote, 3}}, false, 0, true}));
    frame();
    EXPECT_TRUE(says("rounds won"));
    EXPECT_TRUE(says("  3"));
    showScores({{keyboardPlayer, 1}, {remote, 3}});
    EXPECT_FALSE(says("rounds won")) << "a free-for-all's points are points";
}

TEST_F(WinScreen, ATeamMatchNamesTheWinningSideAndEveryPlayersBadge)
{
    const kit::EntityHandle keyboard{keyboardPlayer, world()}, computer{pilot, world()}, theirs{remote, world()};
    const kit::EntityID host = world()->systemEntity();
    network->callFunction(fn::playerSide, host, keyboard.id, 0);
    network->callFunction(fn::playerSide, host, computer.id, 1);
    network->callFunction(fn::playerSide, host, theirs.id, 1);
    const ScoreTable table{{keyboardPlayer, 6}, {pilot, 1}, {remote, 2}};
    const auto lines = teamWinLines(world(), table);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].text, "Sun team wins!");
    EXPECT_EQ(lines[0].points, "6 : 3");
    EXPECT_EQ(lines[0].side, Side::sun);
    EXPECT_EQ(lines[1].text, info(keyboardPlayer).colourName) << "no player is named the winner";
    EXPECT_EQ(lines[1].side, Side::sun);
    EXPECT_EQ(lines[2].text, info(remote).colourName + " (remote)");
    EXPECT_EQ(lines[2].side, Side::moon);
    EXPECT_EQ(lines[3].side, Side::moon);
    EXPECT_EQ(teamWinLines(world(), {{keyboardPlayer, 1}, {pilot, 3}})[0].text, "Moon team wins!");
    const auto even = teamWinLines(world(), {{keyboardPlayer, 2}, {pilot, 2}});
    EXPECT_EQ(even[0].text, "A draw");
    EXPECT_EQ(even[0].side, std::nullopt);
    // The plane shown is the best of the side that won, not the best of all.
    const ScoreTable moonsBest{{keyboardPlayer, 5}, {pilot, 4}, {remote, 3}};
    EXPECT_EQ(teamWinLines(world(), moonsBest)[0].text, "Moon team wins!");
    EXPECT_EQ(shownWinnerOf(world(), moonsBest, true), &info(pilot));
    EXPECT_EQ(shownWinnerOf(world(), moonsBest, false), &info(keyboardPlayer));
    EXPECT_EQ(shownWinnerOf(world(), {{keyboardPlayer, 2}, {pilot, 2}}, true), &info(keyboardPlayer)) << "a draw";
    // On the screen: the sides' line over the players.
    app->setWorld(std::make_shared<kit::World>(WinScreenInit{table, false, 0, false, true}));
    frame();
    bool said = false;
    for (kit::Component* c : *world()->getComponentCollection(kit::typeId<kit::Text>()))
        said = said || static_cast<kit::Text*>(c)->text() == "Sun team wins!";
    EXPECT_TRUE(said);
}
