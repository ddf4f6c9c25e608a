#include "game/weapons/ProjectileBudget.h"

#include "game/match/MatchFunctions.h"
#include "game/weapons/Bomb.h"
#include "game/weapons/Bullet.h"

#include "engine/core/Settings.h"
#include "engine/core/SettingsEntry.h"
#include "engine/network/ConnectionGuard.h"
#include "support/Edges.h"
#include "support/GameWorld.h"

#include <algorithm>
#include <string>

using namespace skyscuffle;

namespace {

constexpr std::uint32_t peer = 0xBAD;
constexpr std::uint32_t otherPeer = 0xC0FFEE;

// A match world's budget, and peers' calls as the network system runs them.
struct ProjectileBudgets : test::GameWorld {
    ProjectileBudget* budget = nullptr;
    std::uint32_t serial = 1;

    void SetUp() override
    {
        test::GameWorld::SetUp();
        registerGameplayFunctions(*world);
    }
    void addBudget(ProjectileBudget::Limits limits = {})
    {
        budget = new ProjectileBudget(limits);
        world->addComponent(world->createEntity(), budget);
    }
    // A bullet of the copy, flying up and away from everything, living `life` seconds.
    void bullet(std::uint32_t origin, float life = 5.0f)
    {
        const kit::EntityID id{origin, serial++};
        network->callFunction(fn::spawnBullet, id, "models/quad.obj", "images/bullet.png", kit::EntityID{origin, 1000},
                              life, 0.25f, 2.0f, glm::vec3(0.0f), glm::vec2(0.0f, 100.0f));
    }
    void bomb(std::uint32_t origin)
    {
        const kit::EntityID id{origin, serial++};
        network->callFunction(fn::spawnBomb, id, "models/smallBomb/smallBomb.obj", kit::EntityID{origin, 1000}, 0.0f,
                              20.0f, 10.0f, 2.0f, 15.0f, glm::vec3(0.0f), glm::vec2(0.0f));
    }
    std::size_t projectilesOf(std::uint32_t origin)
    {
        std::size_t n = 0;
        for (const kit::TagId kind : {kit::typeId<Bullet>(), kit::typeId<Bomb>()})
            for (const kit::EntityHandle& p : world->getEntities(kind)->toVector())
                n += p.id.origin == origin;
        return n;
    }
};

std::size_t lines(const std::string& text, const std::string& containing)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(containing); at != std::string::npos; at = text.find(containing, at + 1))
        ++n;
    return n;
}

} // namespace

TEST_F(ProjectileBudgets, AFloodGetsItsBurstAndThenItsRateWithOneLineASecond)
{
    addBudget(); // 200 at once, 100 a second
    testing::internal::CaptureStderr();
    for (int i = 0; i < 1000; ++i)
        bullet(peer);
    EXPECT_EQ(projectilesOf(peer), 200u);
    world->update(0.5f); // half a second: 50 more
    for (int i = 0; i < 1000; ++i)
        bullet(peer);
    EXPECT_EQ(projectilesOf(peer), 250u);
    world->update(0.6f); // 60 more; and a second since the first line, so the next may come
    for (int i = 0; i < 102; ++i)
        bullet(peer);
    const std::string told = testing::internal::GetCapturedStderr();
    EXPECT_EQ(projectilesOf(peer), 310u);
    EXPECT_EQ(budget->refused(), 2000 - 250 + 102 - 60);
    EXPECT_EQ(lines(told, "Refused \"spawnBullet\" from copy 00000bad: projectiles beyond what a copy may fire"), 2u)
        << told;
    EXPECT_NE(told.find("(and 1749 more since the last report)"), std::string::npos) << told;
}

TEST_F(ProjectileBudgets, TheNextLineComesASecondAfterTheLastAndNotAFloatBefore)
{
    addBudget(ProjectileBudget::Limits{1.0f, 1000.0f, 1000.0f}); // one alive: every other is refused
    testing::internal::CaptureStderr();
    bullet(peer, 30.0f);
    bullet(peer); // the first refusal: told at once
    world->update(test::justShort(1.0f));
    bullet(peer); // counted
    const std::string early = testing::internal::GetCapturedStderr();
    EXPECT_EQ(lines(early, "Refused \"spawnBullet\""), 1u) << early;
    testing::internal::CaptureStderr();
    world->update(1.0f - test::justShort(1.0f)); // a second to the float since the line
    bullet(peer);
    const std::string onTheSecond = testing::internal::GetCapturedStderr();
    EXPECT_EQ(lines(onTheSecond, "Refused \"spawnBullet\""), 1u) << onTheSecond;
    EXPECT_NE(onTheSecond.find("(and 1 more since the last report)"), std::string::npos) << onTheSecond;
    EXPECT_EQ(budget->refused(), 3);
}

TEST_F(ProjectileBudgets, SixPlayersFiringWithoutPauseAreNeverRefused)
{
    addBudget();
    testing::internal::CaptureStderr();
    // Six planes of one copy for 20 s at 60 frames a second: each second a
    // shotgun blast of 10 pellets from every plane at once, and between them
    // the basic guns' 3.3 a second (the gatling's 10 a second instead of the
    // blast is fewer at once), bullets living their 5 s.
    constexpr float frame = 1.0f / 60.0f;
    float basicDue = 0.0f;
    int asked = 0;
    for (int f = 0; f < 20 * 60; ++f) {
        if (f % 60 == 0)
            for (int i = 0; i < 60; ++i, ++asked)
                bullet(peer);
        for (basicDue -= frame; basicDue < 0.0f; basicDue += 0.3f)
            for (int plane = 0; plane < 6; ++plane, ++asked)
                bullet(peer);
        world->update(frame);
    }
    const std::string told = testing::internal::GetCapturedStderr();
    EXPECT_EQ(budget->refused(), 0);
    EXPECT_EQ(told.find("Refused"), std::string::npos) << told;
    EXPECT_GT(budget->alive(peer), 300); // the last 5 s of 80 a second are in the air
    EXPECT_EQ(static_cast<std::size_t>(budget->alive(peer)), projectilesOf(peer));
    EXPECT_GT(asked, 1500);
}

TEST_F(ProjectileBudgets, BulletsAndBombsAliveCountTogetherUntilTheyAreGone)
{
    addBudget(ProjectileBudget::Limits{50.0f, 1000.0f, 1000.0f});
    testing::internal::CaptureStderr();
    for (int i = 0; i < 40; ++i)
        bullet(peer, 0.5f);
    for (int i = 0; i < 20; ++i)
        bomb(peer);
    EXPECT_EQ(projectilesOf(peer), 50u);
    EXPECT_EQ(budget->alive(peer), 50);
    EXPECT_EQ(world->getEntities(kit::typeId<Bomb>())->size(), 10u);
    bullet(peer);
    EXPECT_EQ(projectilesOf(peer), 50u);
    world->update(0.6f); // the bullets' life is over
    EXPECT_EQ(budget->alive(peer), 10);
    for (int i = 0; i < 45; ++i)
        bullet(peer);
    EXPECT_EQ(projectilesOf(peer), 50u);
    const std::string told = testing::internal::GetCapturedStderr();
    EXPECT_NE(told.find("Refused \"spawnBomb\" from copy 00000bad: as many of its projectiles are alive"),
              std::string::npos)
        << told;
}

TEST_F(ProjectileBudgets, EachCopyHasItsOwnAndThisCopysOwnAreNeverRefused)
{
    addBudget(ProjectileBudget::Limits{30.0f, 10.0f, 20.0f});
    testing::internal::CaptureStderr();
    for (int i = 0; i < 100; ++i) {
        bullet(peer);
        bullet(otherPeer);
        bullet(world->origin);
    }
    EXPECT_EQ(projectilesOf(peer), 20u);
    EXPECT_EQ(projectilesOf(otherPeer), 20u); // the flood of the first took nothing of the second's
    EXPECT_EQ(projectilesOf(world->origin), 100u);
    EXPECT_EQ(budget->alive(world->origin), 100); // counted all the same
    world->update(2.0f);                          // the burst back, but only 10 more may be alive
    for (int i = 0; i < 100; ++i)
        bullet(peer);
    EXPECT_EQ(projectilesOf(peer), 30u);
    EXPECT_EQ(testing::internal::GetCapturedStderr().find("copy " + kit::originText(world->origin)), std::string::npos);
}

TEST_F(ProjectileBudgets, ABudgetJoiningLateCountsWhatIsAlreadyThere)
{
    for (int i = 0; i < 12; ++i)
        bullet(peer); // no budget yet: nothing refused
    EXPECT_EQ(projectilesOf(peer), 12u);
    addBudget(ProjectileBudget::Limits{15.0f, 100.0f, 100.0f});
    EXPECT_EQ(budget->alive(peer), 12);
    testing::internal::CaptureStderr();
    for (int i = 0; i < 10; ++i)
        bullet(peer);
    EXPECT_EQ(projectilesOf(peer), 15u);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("as many of its projectiles are alive"), std::string::npos);
}

TEST_F(ProjectileBudgets, UnusableTuningGivesTheDefaultsWithALine)
{
    const ProjectileBudget::Limits defaults;
    testing::internal::CaptureStderr();
    kit::settings::set("tuning.projectiles.perCopyPerSecond", "-5");
    kit::settings::set("tuning.projectiles.maxAlivePerCopy", "0");
    kit::settings::set("tuning.projectiles.perCopyBurst", "250");
    kit::SettingsEntryBase::refreshAll();
    const ProjectileBudget::Limits tuned = ProjectileBudget::tuned();
    (void)ProjectileBudget::tuned(); // read again: told once
    kit::settings::set("tuning.projectiles.perCopyPerSecond", std::to_string(defaults.perSecond));
    kit::settings::set("tuning.projectiles.maxAlivePerCopy", std::to_string(defaults.alive));
    kit::settings::set("tuning.projectiles.perCopyBurst", std::to_string(defaults.burst));
    kit::SettingsEntryBase::refreshAll();
    const std::string told = testing::internal::GetCapturedStderr();
    EXPECT_EQ(tuned.perSecond, defaults.perSecond);
    EXPECT_EQ(tuned.alive, defaults.alive);
    EXPECT_EQ(tuned.burst, 250.0f);
    EXPECT_EQ(lines(told, "tuning.projectiles.perCopyPerSecond = -5 is not usable"), 1u) << told;
    EXPECT_EQ(lines(told, "tuning.projectiles.maxAlivePerCopy"), 1u) << told;
    EXPECT_EQ(ProjectileBudget::tuned().burst, defaults.burst);
}
