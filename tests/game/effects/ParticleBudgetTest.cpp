#include "game/effects/ParticleBudget.h"

#include "game/common/Random.h"
#include "game/effects/Bursts.h"
#include "game/effects/FireParticleEmitter.h"
#include "game/effects/ParticleLifeSpan.h"
#include "game/effects/Particles.h"

#include "engine/physics/Body.h"
#include "engine/physics/Transform.h"
#include "support/GameWorld.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

using namespace skyscuffle;

namespace {

struct ParticleBudgets : test::GameWorld {
    ParticleBudget* budget = nullptr;

    void addBudget(ParticleBudget::Limits limits = {})
    {
        budget = new ParticleBudget(limits);
        world->addComponent(world->createEntity(), budget);
    }
    std::size_t alive() { return world->getEntities(kit::typeId<ParticleLifeSpan>())->size(); }
    // Long-lived particles that fill the world up to `n`.
    void fill(std::size_t n)
    {
        ParticleSpec still;
        still.life = 100.0f;
        still.texture = "images/fireParticle.png";
        while (alive() < n)
            spawnParticle(*world, still);
    }
    std::vector<const ParticleLifeSpan*> lives()
    {
        std::vector<const ParticleLifeSpan*> out;
        for (const kit::EntityHandle& p : world->getEntities(kit::typeId<ParticleLifeSpan>())->toVector())
            out.push_back(world->getComponent<ParticleLifeSpan>(p.id));
        return out;
    }
};

// Every particle of a world: where it flies and how large it starts.
struct Look {
    glm::vec3 velocity;
    float scale;
    friend bool operator==(const Look&, const Look&) = default;
};

std::vector<Look> looks(kit::World& world)
{
    std::vector<Look> out;
    for (const kit::EntityHandle& p : world.getEntities(kit::typeId<ParticleLifeSpan>())->toVector())
        out.push_back(Look{world.getComponent<kit::Body>(p.id)->velocity,
                           world.getComponent<ParticleLifeSpan>(p.id)->startScale});
    return out;
}

} // namespace

TEST_F(ParticleBudgets, BurstsBelowTheBudgetLookAsWithout)
{
    // The same bursts, seeded alike, in a world without a budget and in one
    // with the game's: the same particles, flying alike, as large.
    auto burstAll = [](kit::World& w) {
        Random::seed(5);
        int made = 0;
        for (int i = 0; i < 2; ++i) {
            made += explosionBurst(w, glm::vec3(1, 2, 0));
            made += impactBurst(w, glm::vec3(0), glm::vec3(1, 0, 0), glm::vec3(1, 0, 0));
            made += powerPickupBurst(w, glm::vec3(0), glm::vec3(0, 1, 0));
            made += healthBurst(w, glm::vec3(0));
        }
        return made;
    };
    auto bare = std::make_shared<kit::World>();
    const int withoutBudget = burstAll(*bare);
    addBudget();
    const int withBudget = burstAll(*world);
    EXPECT_EQ(withoutBudget, 8 * 30);
    EXPECT_EQ(withBudget, withoutBudget);
    EXPECT_EQ(looks(*world), looks(*bare));
    EXPECT_EQ(budget->leftOut(), 0);
}

TEST_F(ParticleBudgets, ABurstStormNeverRunsAway)
{
    addBudget(); // 3,000 alive, 300 in one frame, 2,000 a second
    const ParticleBudget::Limits& limits = budget->limits;
    std::size_t most = 0;
    for (int frame = 0; frame < 600; ++frame) { // 10 s of a hundred impacts every frame
        const std::size_t before = alive();
        int made = 0;
        for (int i = 0; i < 100; ++i)
            made += impactBurst(*world, glm::vec3(0), glm::vec3(0, 1, 0), glm::vec3(1));
        EXPECT_EQ(alive(), before + static_cast<std::size_t>(made));
        ASSERT_LE(made, static_cast<int>(limits.perFrame)) << "frame " << frame;
        most = std::max(most, alive());
        ASSERT_LE(alive(), static_cast<std::size_t>(limits.alive)) << "frame " << frame;
        world->update(1.0f / 60.0f);
    }
    EXPECT_GT(most, 1000u); // the storm did fill the sky
    // Steadily no more than the rate: bursts live 1 s.
    EXPECT_LE(alive(), static_cast<std::size_t>(limits.perSecond + 60.0f));
}

TEST_F(ParticleBudgets, OneFrameMakesAtMostItsShareAndTheNextGetsWhatTheTimeAdded)
{
    addBudget(ParticleBudget::Limits{10000.0f, 100.0f, 600.0f});
    int made = 0;
    for (int i = 0; i < 10; ++i)
        made += explosionBurst(*world, glm::vec3(0));
    EXPECT_EQ(made, 100); // three whole bursts and a third of the fourth
    EXPECT_EQ(alive(), 100u);
    EXPECT_EQ(explosionBurst(*world, glm::vec3(0)), 0); // nothing left this frame
    world->update(0.05f);                               // 30 more
    EXPECT_EQ(explosionBurst(*world, glm::vec3(0)), 30);
    EXPECT_EQ(explosionBurst(*world, glm::vec3(0)), 0);
    world->update(10.0f); // never more than one frame's most
    EXPECT_NEAR(budget->allowance(), 100.0f, 1e-3f);
}

TEST_F(ParticleBudgets, NearTheCeilingBurstsThinOutToFewerLargerParticles)
{
    addBudget(ParticleBudget::Limits{100.0f, 1000.0f, 100000.0f});
    fill(75); // halfway between half the ceiling and the ceiling: half of each burst
    Random::seed(9);
    const std::size_t before = alive();
    EXPECT_EQ(healthBurst(*world, glm::vec3(0)), 15);
    EXPECT_EQ(alive(), before + 15);
    // The health burst's scales run from 0.5 to 1; thinned to half, each is
    // drawn the square root of 2 larger, so that the burst covers as much.
    int larger = 0;
    for (const ParticleLifeSpan* life : lives()) {
        if (life->total == 100.0f)
            continue; // the filling
        EXPECT_GE(life->startScale, 0.5f * std::sqrt(2.0f) - 1e-4f);
        EXPECT_LT(life->startScale, 1.0f * std::sqrt(2.0f) + 1e-4f);
        ++larger;
    }
    EXPECT_EQ(larger, 15);
    fill(99);
    int made = 0;
    for (int i = 0; i < 20; ++i)
        made += healthBurst(*world, glm::vec3(0));
    EXPECT_EQ(alive(), 100u); // up to the ceiling, never beyond
    EXPECT_EQ(made, 1);
    EXPECT_EQ(budget->leftOut(), 15 + 20 * 30 - 1);
}

TEST_F(ParticleBudgets, TrailsThinOutNearTheCeilingToo)
{
    addBudget(ParticleBudget::Limits{1000.0f, 1000.0f, 100000.0f});
    fill(750);
    const kit::EntityHandle plane = world->createEntity();
    world->addComponent(plane, new kit::Transform(glm::vec3(0)));
    auto* fire = world->emplaceComponent<FireParticleEmitter>(plane); // 50 a second
    Random::seed(4);
    for (int i = 0; i < 100; ++i)
        world->update(0.1f); // 500 due
    // About half at a share of a half (the fill stays: it lives 100 s; the
    // fire's own particles live at most 0.3 s and thin it hardly at all).
    EXPECT_GT(fire->emitted(), 200);
    EXPECT_LT(fire->emitted(), 300);
    // The trail's particles (the live ones) end larger than the tuning's 0.5
    // to 1.5: the square root of 2 larger.
    int trail = 0;
    for (const ParticleLifeSpan* life : lives()) {
        if (life->total == 100.0f)
            continue;
        EXPECT_GE(life->endScale, 0.5f * std::sqrt(2.0f) * 0.99f);
        EXPECT_LT(life->endScale, 1.5f * std::sqrt(2.0f) * 1.01f);
        ++trail;
    }
    EXPECT_GT(trail, 0);
}

TEST_F(ParticleBudgets, AWorldWithoutABudgetGrantsEverything)
{
    const ParticleBudget::Grant all = ParticleBudget::grant(*world, 500);
    EXPECT_EQ(all.count, 500);
    EXPECT_EQ(all.scale, 1.0f);
    EXPECT_EQ(ParticleBudget::grant(*world, -3).count, 0);
    EXPECT_EQ(ParticleBudget::of(world.get()), nullptr);
}
