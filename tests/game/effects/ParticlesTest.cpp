#include "game/effects/Particles.h"
#include "game/common/Random.h"
#include "game/effects/Bursts.h"
#include "game/effects/DashParticleEmitter.h"
#include "game/effects/FireParticleEmitter.h"
#include "game/effects/ParticleLifeSpan.h"
#include "game/effects/SmokeParticleEmitter.h"

#include "engine/physics/Body.h"
#include "engine/physics/Transform.h"
#include "engine/render/Model.h"
#include "engine/resources/Material.h"
#include "support/GameWorld.h"

#include <glm/gtc/quaternion.hpp>

using namespace skyscuffle;

using Particles = test::GameWorld;

namespace {

kit::EntityHandle planeAt(kit::World& world, glm::vec3 position, glm::quat rotation = glm::quat(1, 0, 0, 0))
{
    const kit::EntityHandle plane = world.createEntity();
    world.addComponent(plane, new kit::Transform(position, glm::vec3(1.0f), rotation));
    return plane;
}

} // namespace

TEST_F(Particles, AParticleGrowsFadesAndGoesAtTheEndOfItsLife)
{
    ParticleSpec spec;
    spec.position = glm::vec3(1, 2, 3);
    spec.velocity = glm::vec3(4, 0, 0);
    spec.life = 2.0f;
    spec.startScale = 1.0f;
    spec.endScale = 5.0f;
    spec.startAlpha = 0.8f;
    spec.endAlpha = 0.0f;
    spec.tint = glm::vec3(0.5f, 0.25f, 1.0f);
    spec.texture = "images/dashParticle.png";
    const kit::EntityHandle p = spawnParticle(*world, spec);

    for (const char* label : {"additiveBlending", "gameSpace", "blending"})
        EXPECT_TRUE(world->entityHasTag(p.id, kit::tagId(label))) << label;
    auto* model = world->getComponent<kit::Model>(p.id);
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(*model->uniform<glm::vec3>("color"), spec.tint);
    EXPECT_EQ(model->material, particleMaterial(spec.texture)); // shared, not one per particle
    EXPECT_EQ(world->getComponent<kit::Body>(p.id)->velocity, spec.velocity);

    world->update(0.5f); // a quarter of its life: f = 0.75
    auto* transform = world->getComponent<kit::Transform>(p.id);
    EXPECT_NEAR(transform->scale.x, 5.0f + (1.0f - 5.0f) * 0.75f, 1e-5f);
    EXPECT_NEAR(transform->scale.z, transform->scale.x, 1e-6f);
    EXPECT_NEAR(*model->uniform<float>("alpha"), 0.8f * 0.75f, 1e-5f);
    EXPECT_NEAR(transform->position.x, 1.0f + 4.0f * 0.5f, 1e-4f); // it flies

    world->update(1.5f); // exactly at the end: still there
    EXPECT_TRUE(world->entities.contains(p.id));
    world->update(0.01f);
    EXPECT_FALSE(world->entities.contains(p.id));
}

TEST_F(Particles, ParticlesOfOneTextureShareAMaterialThatTheirColoursDoNotChange)
{
    ParticleSpec red, blue;
    red.texture = blue.texture = "images/fireParticle.png";
    red.tint = glm::vec3(1, 0, 0);
    blue.tint = glm::vec3(0, 0, 1);
    const auto a = spawnParticle(*world, red);
    const auto b = spawnParticle(*world, blue);
    auto shared = particleMaterial("images/fireParticle.png");
    EXPECT_EQ(world->getComponent<kit::Model>(a.id)->material, shared);
    EXPECT_EQ(world->getComponent<kit::Model>(b.id)->material, shared);
    EXPECT_EQ(*shared->uniform<glm::vec3>("color"), glm::vec3(1.0f));
    EXPECT_NE(particleMaterial("images/smokeParticle.png"), shared);
}

TEST_F(Particles, AnEmitterKeepsItsRateOnLongFrames)
{
    const auto plane = planeAt(*world, glm::vec3(0));
    auto* fire = world->emplaceComponent<FireParticleEmitter>(plane); // 50 a second
    world->update(0.1f);
    EXPECT_EQ(fire->emitted(), 5);
    for (int i = 0; i < 9; ++i)
        world->update(0.1f);
    EXPECT_EQ(fire->emitted(), 50);
    for (int i = 0; i < 60; ++i)
        world->update(1.0f / 60.0f); // the same rate at sixty frames a second
    EXPECT_NEAR(fire->emitted(), 100, 1);
    fire->setRate(10.0f);
    world->update(0.5f);
    EXPECT_NEAR(fire->emitted(), 105, 1);
}

TEST_F(Particles, AnEmitterWithoutARateEmitsRarelyAndNeverEndlessly)
{
    const auto plane = planeAt(*world, glm::vec3(0));
    auto* fire = world->emplaceComponent<FireParticleEmitter>(plane);
    fire->setRate(0.0f); // as from a tuning file that says 0, or less
    for (int i = 0; i < 3; ++i)
        world->update(1.0f);
    EXPECT_EQ(fire->emitted(), 1);
    fire->setRate(-5.0f);
    world->update(1.0f);
    EXPECT_EQ(fire->emitted(), 1);
}

TEST_F(Particles, TrailsLeaveBackwardsAlongTheNoseFromAroundThePlane)
{
    Random::seed(7);
    // Nose (+Z) turned to +X.
    const glm::quat noseRight = glm::angleAxis(glm::radians(90.0f), glm::vec3(0, 1, 0));
    const auto plane = planeAt(*world, glm::vec3(10, 20, 0), noseRight);
    auto* dash = world->emplaceComponent<DashParticleEmitter>(plane, "dashEmitter", 30.0f);
    EXPECT_TRUE(dash->hasTag(kit::tagId("dashEmitter")));
    world->update(0.5f); // younger than any dash particle's shortest life
    ASSERT_EQ(dash->emitted(), 15);
    kit::EntityCollection* particles = world->getEntities(kit::typeId<ParticleLifeSpan>());
    ASSERT_EQ(particles->size(), static_cast<std::size_t>(dash->emitted()));
    for (const kit::EntityHandle& p : particles->toVector()) {
        const glm::vec3 v = world->getComponent<kit::Body>(p.id)->velocity;
        EXPECT_LT(v.x, -4.0f) << "backwards along the nose";
        EXPECT_LE(std::abs(v.y), 0.2f * -v.x + 1e-4f);
        const auto* life = world->getComponent<ParticleLifeSpan>(p.id);
        EXPECT_GE(life->total, 0.8f);
        EXPECT_LT(life->total, 1.2f);
        EXPECT_EQ(life->startScale, 0.0f); // grow from nothing
        EXPECT_EQ(life->endScale, 3.0f);
    }
}

TEST_F(Particles, SmokeIsBlendedNotAddedAndTakesItsTintAndOpacity)
{
    const auto plane = planeAt(*world, glm::vec3(0));
    auto* smoke = world->emplaceComponent<SmokeParticleEmitter>(plane);
    smoke->tintLevel = 0.4f;
    smoke->startOpacity = 0.6f;
    world->update(0.2f);
    auto particles = world->getEntities(kit::typeId<ParticleLifeSpan>())->toVector();
    ASSERT_FALSE(particles.empty());
    for (const auto& p : particles) {
        EXPECT_FALSE(world->entityHasTag(p.id, kit::tagId("additiveBlending")));
        EXPECT_TRUE(world->entityHasTag(p.id, kit::tagId("blending"))); // still drawn in the blended pass
        const auto* model = world->getComponent<kit::Model>(p.id);
        EXPECT_EQ(*model->uniform<glm::vec3>("color"), glm::vec3(0.4f));
        EXPECT_EQ(world->getComponent<ParticleLifeSpan>(p.id)->startAlpha, 0.6f);
    }
}

TEST_F(Particles, BurstsSpawnTheirCountAndShrinkAtFullOpacity)
{
    Random::seed(3);
    EXPECT_EQ(explosionBurst(*world, glm::vec3(5, 5, 0)), 30);
    EXPECT_EQ(powerPickupBurst(*world, glm::vec3(0), glm::vec3(1, 0.5f, 0)), 30);
    EXPECT_EQ(healthBurst(*world, glm::vec3(0)), 30);
    EXPECT_EQ(world->getEntities(kit::typeId<ParticleLifeSpan>())->size(), 90u);
    for (const auto& p : world->getEntities(kit::typeId<ParticleLifeSpan>())->toVector()) {
        const auto* life = world->getComponent<ParticleLifeSpan>(p.id);
        EXPECT_EQ(life->endScale, 0.0f);
        EXPECT_EQ(life->startAlpha, 1.0f);
        EXPECT_EQ(life->endAlpha, 1.0f);
        EXPECT_EQ(life->total, 1.0f);
    }
}

TEST_F(Particles, AnImpactSpraysAlongItsDirectionInTheVictimsColour)
{
    Random::seed(11);
    const glm::vec3 tint(0.8f, 0.4f, 0.3f);
    ASSERT_EQ(impactBurst(*world, glm::vec3(0), glm::vec3(-2, 0, 0), tint), 30);
    glm::vec3 mean(0.0f);
    for (const auto& p : world->getEntities(kit::typeId<ParticleLifeSpan>())->toVector()) {
        const glm::vec3 v = world->getComponent<kit::Body>(p.id)->velocity;
        EXPECT_NEAR(glm::length(v), 5.0f, 1e-3f);
        mean += v / 30.0f;
        EXPECT_EQ(*world->getComponent<kit::Model>(p.id)->uniform<glm::vec3>("color"), tint);
    }
    EXPECT_LT(mean.x, -2.5f); // most of it goes the way it was pointed
}

TEST(RandomNumbers, SeededRunsRepeatAndStayInRange)
{
    Random::seed(42);
    std::vector<std::uint32_t> first;
    for (int i = 0; i < 5; ++i)
        first.push_back(Random::next());
    Random::seed(42);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(Random::next(), first[static_cast<std::size_t>(i)]);
    Random::seed(43);
    EXPECT_NE(Random::next(), first[0]);
    float low = 1.0f, high = 0.0f, sum = 0.0f;
    for (int i = 0; i < 20000; ++i) {
        const float u = Random::uniform();
        ASSERT_GE(u, 0.0f);
        ASSERT_LT(u, 1.0f);
        low = std::min(low, u);
        high = std::max(high, u);
        sum += u;
    }
    EXPECT_LT(low, 0.001f);
    EXPECT_GT(high, 0.999f); // the whole range, not the narrower one of a byte taken modulo 255
    EXPECT_NEAR(sum / 20000.0f, 0.5f, 0.01f);
    for (int i = 0; i < 100; ++i) {
        EXPECT_NEAR(glm::length(Random::direction()), 1.0f, 1e-5f);
        EXPECT_LE(glm::length(Random::inBall(2.0f)), 2.0f + 1e-5f);
    }
}
