// A hit the shooter saw is judged by the plane's own copy against where the
// plane was when the shooter saw it, within bounds.
#include "game/weapons/HitClaim.h"

#include "game/combat/Health.h"
#include "game/common/Tags.h"
#include "game/match/MatchFunctions.h"
#include "game/weapons/Bullet.h"

#include "engine/core/Label.h"
#include "engine/core/Settings.h"
#include "engine/core/SettingsEntry.h"
#include "engine/physics/CircleCollider.h"
#include "engine/physics/Transform.h"
#include "support/GameWorld.h"

using namespace skyscuffle;

namespace {

constexpr std::uint32_t peerOrigin = 0xBAD;

TEST(HitClaimGeometry, ABulletIsTracedBackAlongItsFlightAgainstEachPlace)
{
    // The plane stood at the origin 0.1 s ago; the bullet, now at (10, 0)
    // flying at (50, 0), was at (5, 0) then.
    const std::deque<HitClaim::Place> places{{0.9f, {0, 0}}, {1.0f, {40, 40}}};
    EXPECT_TRUE(HitClaim::met({10, 0}, {50, 0}, 1.0f, places, 0.15f, 5.0f));
    EXPECT_FALSE(HitClaim::met({10, 0}, {50, 0}, 1.0f, places, 0.15f, 4.99f));
    // Further back than the rewind: not looked at.
    EXPECT_FALSE(HitClaim::met({10, 0}, {50, 0}, 1.0f, places, 0.09f, 5.0f));
    // A place after now (a clock that went back) is no place to judge by.
    EXPECT_FALSE(HitClaim::met({10, 0}, {50, 0}, 0.8f, places, 0.15f, 5.0f));
    EXPECT_FALSE(HitClaim::met({10, 0}, {50, 0}, 1.0f, {}, 0.15f, 100.0f));
    // Exactly at the rewind still counts.
    EXPECT_TRUE(HitClaim::met({5, 0}, {0, 0}, 1.0f, {{0.85f, {0, 0}}}, 0.15f, 5.0f));
}

struct HitClaims : test::GameWorld {
    kit::EntityHandle plane;
    Health* health = nullptr;

    void SetUp() override
    {
        test::GameWorld::SetUp();
        registerGameplayFunctions(*world);
        plane = world->createEntity();
        world->addComponent(plane, new kit::Transform(glm::vec3(0.0f)));
        world->addComponent(plane, new kit::CircleCollider(2.0f));
        world->addComponent(plane, new kit::Label(tags::plane));
        health = new Health(10.0f);
        world->addComponent(plane, health);
        world->addComponent(plane, new RecentPlaces);
        run(18, 1.0f / 60.0f); // 0.3 s of places at the origin
    }
    void TearDown() override
    {
        kit::settings::set("tuning.network.projectileLead", "1");
        kit::SettingsEntryBase::refreshAll();
    }
    // A peer's bullet at `at`, flying up.
    kit::EntityID bullet(glm::vec3 at, std::uint32_t origin = peerOrigin)
    {
        const kit::EntityID id{origin, serial++};
        network->callFunction(fn::spawnBullet, id, "models/quad.obj", "images/bullet.png", kit::EntityID{origin, 1},
                              5.0f, 0.25f, 2.0f, at, glm::vec2(0.0f, 1.0f));
        return id;
    }
    bool flying(kit::EntityID id) { return world->getComponent<Bullet>(id) != nullptr; }
    std::uint32_t serial = 77;
};

TEST_F(HitClaims, AClaimWithinAPlaneLengthOfThePlaneIsTheHit)
{
    // Six units off the plane's centre: the plane (2), the bullet (0.25) and
    // a plane length (4) reach 6.25.
    const kit::EntityID shot = bullet({6.0f, 0.0f, 0.0f});
    network->callFunction(fn::claimHit, shot, plane.id);
    EXPECT_FLOAT_EQ(health->currentHealth, 8.0f);
    EXPECT_FALSE(flying(shot));
    // Its claim again, the bullet gone: nothing more.
    network->callFunction(fn::claimHit, shot, plane.id);
    EXPECT_FLOAT_EQ(health->currentHealth, 8.0f);
}

TEST_F(HitClaims, AClaimTooFarOffChangesNothingAndTheBulletFliesOn)
{
    const kit::EntityID shot = bullet({6.5f, 0.0f, 0.0f});
    network->callFunction(fn::claimHit, shot, plane.id);
    EXPECT_FLOAT_EQ(health->currentHealth, 10.0f);
    EXPECT_TRUE(flying(shot));
}

TEST_F(HitClaims, OnlyThePlanesCopyJudgesAndOnlyAPeersBullet)
{
    // This copy's own bullet: the claim is its own, for another copy to judge.
    const kit::EntityID own = bullet({1.0f, 0.0f, 0.0f}, world->origin);
    network->callFunction(fn::claimHit, own, plane.id);
    EXPECT_FLOAT_EQ(health->currentHealth, 10.0f);
    // A peer's plane: its copy judges.
    const kit::EntityHandle other{kit::EntityID{peerOrigin, 5}, world.get()};
    world->addComponent(other, new kit::Transform(glm::vec3(20, 0, 0)));
    world->addComponent(other, new kit::CircleCollider(2.0f));
    auto* otherHealth = new Health(10.0f);
    world->addComponent(other, otherHealth);
    world->addComponent(other, new RecentPlaces);
    run(2, 1.0f / 60.0f);
    const kit::EntityID shot = bullet({21.0f, 0.0f, 0.0f}, 0xFACE);
    network->callFunction(fn::claimHit, shot, other.id);
    EXPECT_FLOAT_EQ(otherHealth->currentHealth, 10.0f);
    EXPECT_TRUE(flying(shot));
}

TEST_F(HitClaims, ClaimsAreNotJudgedWhileProjectilesAreNotLed)
{
    kit::settings::set("tuning.network.projectileLead", "0");
    kit::SettingsEntryBase::refreshAll();
    const kit::EntityID shot = bullet({5.0f, 0.0f, 0.0f});
    network->callFunction(fn::claimHit, shot, plane.id);
    EXPECT_FLOAT_EQ(health->currentHealth, 10.0f);
    EXPECT_TRUE(flying(shot));
}

TEST_F(HitClaims, ThePlacesKeptAreTheLastFewTenthsOfASecond)
{
    auto* places = world->getComponent<RecentPlaces>(plane.id);
    world->getComponent<kit::Transform>(plane.id)->position = glm::vec3(3, 4, 0);
    run(60, 1.0f / 60.0f);
    ASSERT_FALSE(places->places().empty());
    EXPECT_EQ(places->places().back().position, glm::vec2(3, 4));
    EXPECT_FLOAT_EQ(places->places().back().time, places->clock());
    EXPECT_LE(places->clock() - places->places().front().time, RecentPlaces::keepSeconds);
    EXPECT_GE(places->clock() - places->places().front().time, RecentPlaces::keepSeconds - 1.0f / 30.0f);
    // A frame of no time keeps one more place at the same time, never a later one.
    const float before = places->clock();
    world->update(0.0f);
    EXPECT_FLOAT_EQ(places->clock(), before);
}

TEST_F(HitClaims, AClaimIsJudgedAsFarBackAsTheLinkAndNeverBeyond150Ms)
{
    network->assumedDelay = 0.3f;
    // The plane left the origin 0.1 s ago: the shooter, 0.3 s away, saw it
    // there within the 150 ms a claim may go back.
    world->getComponent<kit::Transform>(plane.id)->position = glm::vec3(100, 0, 0);
    run(6, 1.0f / 60.0f);
    const kit::EntityID recent = bullet({5.0f, 0.0f, 0.0f});
    network->callFunction(fn::claimHit, recent, plane.id);
    EXPECT_FLOAT_EQ(health->currentHealth, 8.0f);
    // 0.2 s ago is beyond the bound, however slow the link.
    run(6, 1.0f / 60.0f);
    const kit::EntityID old = bullet({5.0f, 0.0f, 0.0f});
    network->callFunction(fn::claimHit, old, plane.id);
    EXPECT_FLOAT_EQ(health->currentHealth, 8.0f);
    EXPECT_TRUE(flying(old));
}

TEST_F(HitClaims, AClaimOverAFastLinkGoesBackNoFurtherThanItNeeds)
{
    // No delay known: the claim looks back a frame or two, not 100 ms.
    world->getComponent<kit::Transform>(plane.id)->position = glm::vec3(100, 0, 0);
    run(6, 1.0f / 60.0f);
    const kit::EntityID shot = bullet({5.0f, 0.0f, 0.0f});
    network->callFunction(fn::claimHit, shot, plane.id);
    EXPECT_FLOAT_EQ(health->currentHealth, 10.0f);
}

TEST_F(HitClaims, OnlyTheShootersCopyClaimsAHitItSaw)
{
    auto claims = [&] {
        const std::string bytes(reinterpret_cast<const char*>(network->pendingCalls.data()),
                                network->pendingCalls.bytesUsed());
        return bytes.find("claimHit") != std::string::npos;
    };
    const kit::EntityHandle theirs{kit::EntityID{peerOrigin, 5}, world.get()};
    world->addComponent(theirs, new kit::Transform(glm::vec3(40, 0, 0)));
    network->flushCalls();
    // Another copy's bullet meets a third copy's plane here: nothing to claim.
    const kit::EntityID bystander = bullet({40.0f, 0.0f, 0.0f}, 0xFACE);
    network->flushCalls();
    world->getComponent<Bullet>(bystander)->onHit(theirs);
    EXPECT_FALSE(claims());
    // This copy's bullet meets another copy's plane: it claims the hit.
    const kit::EntityID own = bullet({40.0f, 0.0f, 0.0f}, world->origin);
    network->flushCalls();
    world->getComponent<Bullet>(own)->onHit(theirs);
    EXPECT_TRUE(claims());
    network->flushCalls();
    // Not while hits are not claimed.
    kit::settings::set("tuning.network.projectileLead", "0");
    kit::SettingsEntryBase::refreshAll();
    const kit::EntityID quiet = bullet({40.0f, 0.0f, 0.0f}, world->origin);
    network->flushCalls();
    world->getComponent<Bullet>(quiet)->onHit(theirs);
    EXPECT_FALSE(claims());
}

} // namespace
