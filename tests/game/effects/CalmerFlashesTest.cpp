// Calmer flashes, as the particles are made: a bomb's blast dim and swelling,
// bursts at half and fading out, a fade-in that rises from nothing.
#include "game/effects/Bursts.h"
#include "game/effects/EffectSettings.h"
#include "game/effects/ParticleLifeSpan.h"
#include "game/effects/Particles.h"
#include "game/weapons/Bomb.h"

#include "engine/core/Settings.h"
#include "engine/physics/Transform.h"
#include "engine/render/Model.h"
#include "support/GameWorld.h"

#include <algorithm>

using namespace skyscuffle;

namespace {

struct CalmParticles : test::GameWorld {
    void calm(bool on) { kit::settings::set(effectSettings::calmerFlashes.key(), on ? "1" : "0"); }
    void TearDown() override { calm(false); }
    std::vector<const ParticleLifeSpan*> lives()
    {
        std::vector<const ParticleLifeSpan*> out;
        for (const kit::EntityHandle& p : world->getEntities(kit::typeId<ParticleLifeSpan>())->toVector())
            out.push_back(world->getComponent<ParticleLifeSpan>(p.id));
        return out;
    }
    float brightest()
    {
        float most = 0.0f;
        for (const ParticleLifeSpan* life : lives())
            most = std::max(most, life->startAlpha);
        return most;
    }
    void explodeBomb()
    {
        const kit::EntityHandle e = world->createEntity();
        world->addComponent(e, new kit::Transform(glm::vec3(1.0f, 2.0f, 0.0f)));
        auto* bomb = new Bomb(10.0f, 1.0f, 5.0f, kit::EntityHandle{});
        world->addComponent(e, bomb);
        bomb->explode();
    }
};

TEST_F(CalmParticles, ABombsBlastIsDimAndSwellsOnlyWithCalmerFlashes)
{
    explodeBomb();
    EXPECT_FLOAT_EQ(brightest(), 1.0f) << "without: the blast pops at full brightness";
    for (const kit::EntityHandle& p : world->getEntities(kit::typeId<ParticleLifeSpan>())->toVector())
        world->destroyEntityNow(kit::EntityHandle{p.id, world.get()});
    calm(true);
    explodeBomb();
    ASSERT_FALSE(lives().empty());
    EXPECT_LE(brightest(), 0.5f) << "the blast and its burst at half at most";
    for (const ParticleLifeSpan* life : lives())
        EXPECT_GT(life->fadeIn, 0.0f) << "every particle rises from nothing";
}

TEST_F(CalmParticles, BurstsComeInAtHalfAndFadeOutOnlyWithCalmerFlashes)
{
    explosionBurst(*world, glm::vec3(0.0f));
    ASSERT_FALSE(lives().empty());
    for (const ParticleLifeSpan* life : lives()) {
        EXPECT_FLOAT_EQ(life->startAlpha, 1.0f);
        EXPECT_FLOAT_EQ(life->endAlpha, 1.0f) << "today's bursts keep their opacity and shrink";
    }
    for (const kit::EntityHandle& p : world->getEntities(kit::typeId<ParticleLifeSpan>())->toVector())
        world->destroyEntityNow(kit::EntityHandle{p.id, world.get()});
    calm(true);
    impactBurst(*world, glm::vec3(0.0f), glm::vec3(1, 0, 0), glm::vec3(1, 0, 0));
    ASSERT_FALSE(lives().empty());
    for (const ParticleLifeSpan* life : lives()) {
        EXPECT_LE(life->startAlpha, 0.5f);
        EXPECT_FLOAT_EQ(life->endAlpha, 0.0f) << "faded out by the end";
    }
}

TEST_F(CalmParticles, AFadeInRisesFromNothingOverItsTimeFromBirth)
{
    ParticleSpec spec;
    spec.life = 1.0f;
    spec.startAlpha = 1.0f;
    spec.endAlpha = 1.0f;
    spec.fadeIn = 0.2f;
    spec.texture = "images/fireParticle.png";
    const kit::EntityHandle p = spawnParticle(*world, spec);
    const auto alpha = [&] {
        const float* value = world->getComponent<kit::Model>(p.id)->uniform<float>("alpha");
        return value ? *value : -1.0f;
    };
    run(1, 0.05f);
    EXPECT_NEAR(alpha(), 0.25f, 0.01f) << "a quarter of the way up after a quarter of the fade";
    run(2, 0.05f);
    EXPECT_NEAR(alpha(), 0.75f, 0.01f);
    run(2, 0.05f);
    EXPECT_FLOAT_EQ(alpha(), 1.0f) << "full once the fade is over";
}

} // namespace
