// A team match on the real match world: two sides whose friends do not hurt
// each other (unless friendly fire is on), whose points add up, and whose
// badges ride over the planes and on the gauges.
#include "game/combat/Health.h"
#include "game/combat/Score.h"
#include "game/common/Tags.h"
#include "game/match/HudLayout.h"
#include "game/match/MatchSettings.h"
#include "game/match/TeamMarks.h"
#include "game/players/Sides.h"

#include "MatchFixture.h"
#include "engine/core/Settings.h"
#include "engine/core/SettingsEntry.h"
#include "engine/physics/Transform.h"
#include "engine/render/Sprite.h"
#include "engine/render/Text.h"
#include "support/ShownText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include <glm/geometric.hpp>

using namespace skyscuffle;
using test::Match;

namespace {

class TeamMatch : public Match {
protected:
    void SetUp() override
    {
        Match::SetUp();
        choose(matchSettings::mode.key(), "2");
    }
    void TearDown() override
    {
        choose(matchSettings::mode.key(), "0");
        choose(matchSettings::friendlyFire.key(), "0");
        Match::TearDown();
    }
    static void choose(const std::string& key, const std::string& value)
    {
        kit::settings::set(key, value);
        kit::SettingsEntryBase::refreshAll();
    }
    // A copy of four computer pilots in its match; its planes by side.
    test::MatchCopy& fourPlanes()
    {
        auto& c = copy(0xA000);
        for (int colour = 0; colour < 4; ++colour)
            c.addPlayer(colour);
        c.enterMatch();
        c.frame();
        c.frame();
        for (const kit::EntityHandle& plane : c.world().getEntities(kit::tagId("plane"))->toVector()) {
            const std::optional<Side> side = sideOf(c.world(), plane.id);
            (side == Side::sun ? suns : moons).push_back(kit::EntityHandle{plane.id, &c.world()});
        }
        return c;
    }
    static Health& health(test::MatchCopy& c, kit::EntityHandle plane)
    {
        return *c.world().getComponent<Health>(plane.id);
    }
    static void unshield(test::MatchCopy& c, kit::EntityHandle plane)
    {
        c.world().destroyComponents(plane.id, kit::tagId(tags::invincibilityPower));
    }
    static int points(test::MatchCopy& c, kit::EntityHandle plane)
    {
        return c.world().getComponent<Score>(plane.id)->points;
    }
    static bool shows(test::MatchCopy& c, const std::string& words) { return test::showsText(c.world(), words); }

    std::vector<kit::EntityHandle> suns, moons;
};

} // namespace

TEST_F(TeamMatch, FriendsDoNotHurtEachOtherAndASidesPointsAddUp)
{
    auto& c = fourPlanes();
    ASSERT_EQ(suns.size(), 2u) << "the host balances the sides";
    ASSERT_EQ(moons.size(), 2u);
    const TeamPlay* teams = c.world().single<TeamPlay>();
    ASSERT_NE(teams, nullptr);
    EXPECT_FALSE(teams->friendlyFire) << "off unless chosen";
    for (const auto& plane : suns)
        unshield(c, plane);
    for (const auto& plane : moons)
        unshield(c, plane);
    c.frame();
    health(c, suns[0]).damage(suns[1], 4.0f);
    EXPECT_EQ(health(c, suns[0]).currentHealth, 10.0f) << "a friend's fire";
    health(c, suns[0]).damage(moons[0], 4.0f);
    EXPECT_EQ(health(c, suns[0]).currentHealth, 6.0f) << "a foe's fire";
    health(c, suns[0]).damage(suns[0], 1.0f);
    EXPECT_EQ(health(c, suns[0]).currentHealth, 5.0f) << "its own bomb still hurts";
    // A foe's kill: two points to the killer's side, one off the victim's.
    health(c, moons[1]).damage(suns[1], 20.0f);
    EXPECT_EQ(points(c, suns[1]), 2);
    EXPECT_EQ(points(c, moons[1]), -1);
    EXPECT_EQ(sidePoints(c.world(), tableOf(c.world())), (std::array<int, sideCount>{2, -1}));
    c.frame();
    EXPECT_TRUE(shows(c, "2")) << "the sun's points beside the clock";
    EXPECT_TRUE(shows(c, "-1")) << "the moon's";
    EXPECT_EQ(describeSidePoints({2, -1}), "Sun 2 : -1 Moon");
}

TEST_F(TeamMatch, EveryPlaneCarriesItsSidesBadgeOverItAndOnItsGauge)
{
    auto& c = fourPlanes();
    c.frame();
    for (const auto& plane : suns) {
        const glm::vec3 over =
            c.world().getComponent<kit::Transform>(plane.id)->worldPosition() + glm::vec3(0.0f, 4.5f, 1.0f);
        int badges = 0;
        for (const kit::EntityHandle& e : c.world().getEntities(kit::typeId<kit::Transform>())->toVector())
            badges +=
                e.id != plane.id && glm::length(c.world().getComponent<kit::Transform>(e.id)->position - over) < 0.5f;
        EXPECT_EQ(badges, 1) << "one badge, over its plane";
    }
    // Each gauge has a fifth part, its side's badge.
    EXPECT_EQ(c.world().getEntities(kit::tagId("gauge"))->size(), 5u * 4u);
}

// Over the match, each side's badge stands outside its points: the sun's
// left of the sun's, the moon's right of the moon's.
TEST_F(TeamMatch, TheSidesBadgesStandOutsideTheirPointsEitherSideOfTheClock)
{
    auto& c = fourPlanes();
    c.frame();
    const float row = hud::sidePointsBaseline() + hud::sideBadgeOffset(true).y;
    std::vector<float> across;
    for (kit::Component* part : c.world().getComponentCollection(kit::typeId<kit::Sprite>())->toVector()) {
        const auto* badge = static_cast<kit::Sprite*>(part);
        const auto* place = c.world().getComponent<kit::Transform>(badge->entityId);
        if (place && std::abs(badge->width() - hud::sideBadgeSize()) < 1e-5f &&
            std::abs(place->worldPosition().y - row) < 1e-4f)
            across.push_back(place->worldPosition().x);
    }
    ASSERT_EQ(across.size(), 2u);
    std::sort(across.begin(), across.end());
    EXPECT_LT(across[0], -hud::sidePointsX()) << "the sun's badge left of the sun's points";
    EXPECT_GT(across[1], hud::sidePointsX()) << "the moon's right of the moon's";
}

TEST_F(TeamMatch, WithFriendlyFireOnAFriendsKillHurtsButCountsForNobody)
{
    choose(matchSettings::friendlyFire.key(), "1");
    auto& c = fourPlanes();
    ASSERT_TRUE(c.world().single<TeamPlay>()->friendlyFire);
    unshield(c, moons[0]);
    c.frame();
    health(c, moons[0]).damage(moons[1], 20.0f);
    EXPECT_TRUE(health(c, moons[0]).isDead());
    EXPECT_EQ(points(c, moons[1]), 0) << "no points for a friend";
    EXPECT_EQ(points(c, moons[0]), -1);
}

TEST_F(TeamMatch, AFreeForAllHasNoSides)
{
    choose(matchSettings::mode.key(), "0");
    auto& c = copy(0xA000);
    for (int colour = 0; colour < 2; ++colour)
        c.addPlayer(colour);
    c.enterMatch();
    c.frame();
    EXPECT_EQ(c.world().single<TeamPlay>(), nullptr);
    EXPECT_EQ(c.world().getEntities(kit::tagId("gauge"))->size(), 4u * 2u);
    const auto planes = c.world().getEntities(kit::tagId("plane"))->toVector();
    c.world().destroyComponents(planes[0].id, kit::tagId(tags::invincibilityPower));
    c.frame();
    c.world().getComponent<Health>(planes[0].id)->damage(kit::EntityHandle{planes[1].id, &c.world()}, 3.0f);
    EXPECT_EQ(c.world().getComponent<Health>(planes[0].id)->currentHealth, 7.0f) << "the sides mean nothing";
}

TEST_F(TeamMatch, TheClockEndsATeamMatchOnTheSidesTable)
{
    kit::settings::set("tuning.gameWorld.matchLength", "1");
    kit::SettingsEntryBase::refreshAll();
    auto& c = fourPlanes();
    for (int i = 0; i < 120 && c.world().getEntities(kit::tagId("plane"))->size() > 0; ++i)
        c.frame();
    EXPECT_EQ(c.world().getEntities(kit::tagId("plane"))->size(), 0u) << "the win screen after the clock";
    EXPECT_TRUE(shows(c, "A draw") || shows(c, "Sun team wins!") || shows(c, "Moon team wins!"));
}
