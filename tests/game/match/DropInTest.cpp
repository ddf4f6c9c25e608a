// What the hosting copy does when a watcher's player wants into the running
// match: who gets a place, how many, and whose planes it takes; and what a
// copy does with a place given to a player.
#include "game/match/DropIn.h"

#include "game/common/Tags.h"
#include "game/match/MatchFunctions.h"
#include "game/match/MatchReturn.h"
#include "game/match/MatchStart.h"
#include "game/match/PlayerPlane.h"
#include "game/players/PlayerColours.h"
#include "game/players/PlayerInfo.h"

#include "HandlersFixture.h"
#include "engine/core/Settings.h"
#include "engine/core/SettingsEntry.h"
#include "engine/network/NetworkSystem.h"

#include <gtest/gtest.h>

using namespace skyscuffle;

namespace {

constexpr std::uint32_t dropHost = 0xA000, dropPlayer = 0xB000, dropWatcher = 0xC000, dropOther = 0xE000;

class DropIn : public test::Handlers {
protected:
    void SetUp() override
    {
        Handlers::SetUp();
        network->registerFunction(*world, fn::spawnPlayer, &spawnPlayer); // as a match world has it
        world->origin = dropHost;
        state->started = true;
        for (const auto& [origin, screen] : std::vector<std::pair<std::uint32_t, std::string>>{
                 {dropPlayer, "game"}, {dropWatcher, watchingScreen}, {dropOther, arrivingScreen}})
            network->recordPeer(kit::NetworkSystem::PeerRecord{kit::NetAddress{}, origin, screen, 0.0f});
    }
    void TearDown() override
    {
        kit::settings::set("tuning.gameWorld.dropIn", "1");
        kit::SettingsEntryBase::refreshAll();
        Handlers::TearDown();
    }
    // A player of a copy, by colour; flying when asked.
    kit::EntityID playerOf(std::uint32_t origin, std::uint32_t serial, std::size_t colour, bool flying)
    {
        const kit::EntityHandle e = *world->claimEntity(kit::EntityID{origin, serial});
        world->addComponent(e, new PlayerInfo(playerColours()[colour], static_cast<std::uint32_t>(colour + 1)));
        if (flying)
            spawnPlayer(e, glm::vec3(10.0f * static_cast<float>(colour) - 30.0f, 0.0f, 0.0f), glm::quat(1, 0, 0, 0));
        return e.id;
    }

    std::shared_ptr<MatchState> state = std::make_shared<MatchState>();
};

} // namespace

TEST_F(DropIn, TheHostSeatsOnlyWatchersPlayersAndNoMoreThanTheSeatsLeft)
{
    for (std::uint32_t i = 0; i < 4; ++i)
        playerOf(dropHost, 100 + i, i, true);
    playerOf(dropPlayer, 1, 4, true);                                // five planes fly
    const kit::EntityID waiting = playerOf(dropPlayer, 2, 5, false); // a player's copy: its plane is its own to make
    const kit::EntityID first = playerOf(dropWatcher, 1, 0, false);
    const kit::EntityID second = playerOf(dropOther, 1, 1, false);
    seatDroppingPlayers(*world, *network, *state);
    ASSERT_EQ(state->seated.size(), 1u) << "a seat given and its plane on the way still takes the sixth seat";
    EXPECT_TRUE(state->seated.contains(first));
    EXPECT_FALSE(state->seated.contains(second));
    EXPECT_FALSE(state->seated.contains(waiting));
    // Again a frame later: the one seat is given once, nobody else gets one.
    seatDroppingPlayers(*world, *network, *state);
    EXPECT_EQ(state->seated.size(), 1u);
}

TEST_F(DropIn, InLastPlaneStandingAPlayerIsSeatedOnlyBetweenRounds)
{
    state->rules = MatchRules{60.0f, Pickups::normal, Mode::lastPlaneStanding};
    playerOf(dropHost, 100, 0, true);
    const kit::EntityID dropping = playerOf(dropWatcher, 1, 1, false);
    seatDroppingPlayers(*world, *network, *state);
    EXPECT_TRUE(state->seated.empty()) << "not into a round that runs";
    state->rounds.pauseLeft = 2.0f; // a round over, the next soon
    seatDroppingPlayers(*world, *network, *state);
    EXPECT_TRUE(state->seated.contains(dropping));
}

TEST_F(DropIn, WithDropInOffNobodyIsSeated)
{
    kit::settings::set("tuning.gameWorld.dropIn", "0");
    kit::SettingsEntryBase::refreshAll();
    playerOf(dropWatcher, 1, 0, false);
    seatDroppingPlayers(*world, *network, *state);
    EXPECT_TRUE(state->seated.empty());
}

TEST_F(DropIn, OnTheHostAWatcherLaunchesOnlyThePlayerItWasGivenAPlaceFor)
{
    const kit::EntityID given = playerOf(dropWatcher, 1, 0, false);
    const kit::EntityID notGiven = playerOf(dropWatcher, 2, 1, false);
    state->seated.insert(given);
    EXPECT_TRUE(mayLaunch(*network, *state, dropWatcher, given));
    EXPECT_FALSE(mayLaunch(*network, *state, dropWatcher, notGiven));
    EXPECT_FALSE(mayLaunch(*network, *state, dropOther, kit::EntityID{dropOther, 1})) << "arriving is watching too";
    EXPECT_TRUE(mayLaunch(*network, *state, dropPlayer, kit::EntityID{dropPlayer, 9})) << "a playing copy's plane";
    EXPECT_TRUE(mayLaunch(*network, *state, dropHost, kit::EntityID{dropHost, 9})) << "the host's own";
    // A joined copy leaves the seats to its host, whoever made the call
    // (a batch replayed while the session changes host names its maker).
    network->startAs(kit::NetworkSystem::Role::client);
    EXPECT_TRUE(mayLaunch(*network, *state, std::nullopt, notGiven));
    EXPECT_TRUE(mayLaunch(*network, *state, dropWatcher, notGiven));
}

TEST_F(DropIn, AReturningCopysPlayersTakeTheirSeatsAndPointsAndNobodyElseDoes)
{
    state->returning[dropWatcher] = {{"Green", 2, 7}, {"Blue", 1, -3}};
    // Another copy's players with the same numbers, before the returning
    // copy's own are announced.
    const kit::EntityID stranger = playerOf(dropOther, 1, 1, false);
    const kit::EntityID stranger2 = playerOf(dropOther, 2, 0, false);
    seatReturningPlayers(*world, *network, *state);
    EXPECT_TRUE(state->seated.empty()) << "another copy's player took a seat kept for the returning copy's";
    EXPECT_TRUE(state->pointsBack.empty());
    const kit::EntityID back = playerOf(dropWatcher, 1, 1, false);   // number 2
    const kit::EntityID second = playerOf(dropWatcher, 2, 0, false); // number 1
    seatReturningPlayers(*world, *network, *state);
    EXPECT_TRUE(state->seated.contains(back));
    EXPECT_TRUE(state->seated.contains(second));
    EXPECT_FALSE(state->seated.contains(stranger) || state->seated.contains(stranger2));
    EXPECT_EQ(state->pointsBack.at(back), 7);
    EXPECT_EQ(state->pointsBack.at(second), -3);
    EXPECT_FALSE(state->returning.contains(dropWatcher)) << "all of its players back: nothing left to wait for";
}

TEST_F(DropIn, APlaceForAnotherCopysPlayerMakesNothingHere)
{
    // (A place for this copy's own player, its plane and gauge, is in the
    // match sessions, which draw.)
    world->origin = dropWatcher;
    state->view.watching = true;
    const kit::EntityID theirs = playerOf(dropOther, 1, 1, false);
    takeSeatInMatch(*world, *state, theirs, glm::vec3(0.0f), glm::quat(1, 0, 0, 0));
    EXPECT_FALSE(world->entityHasTag(theirs, kit::tagId(tags::plane))) << "another copy's plane is its own to make";
    EXPECT_FALSE(state->droppedIn) << "this copy still watches";
}
