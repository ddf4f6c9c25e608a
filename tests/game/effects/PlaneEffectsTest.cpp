#include "game/match/MatchFunctions.h"
#include "game/players/PlayerInfo.h"
#include "game/effects/ParticleLifeSpan.h"
#include "game/effects/PlayerPingSpawner.h"
#include "game/effects/ShadowOfObject.h"
#include "game/effects/Taunter.h"
#include "game/effects/TranslationChild.h"

#include "engine/physics/Transform.h"
#include "engine/render/Model.h"
#include "support/FakeGamepad.h"
#include "support/GameWorld.h"

using namespace skyscuffle;

namespace {

struct PlaneEffects : test::GameWorld {
    kit::EntityHandle plane;
    test::FakeGamepad* gamepad = new test::FakeGamepad;

    void SetUp() override
    {
        test::GameWorld::SetUp();
        plane = world->createEntity();
        world->addComponent(plane, new kit::Transform(glm::vec3(10, 20, 0)));
        world->addComponent(plane, gamepad);
    }
};

} // namespace

TEST_F(PlaneEffects, AShadowShrinksAndFadesWithHeight)
{
    const kit::EntityHandle shadow = world->createEntity();
    world->addComponent(shadow, new kit::Transform());
    auto* quad = new kit::Model(kit::ResourceHandle<kit::Mesh>{}, true);
    world->addComponent(shadow, quad);
    world->addComponent(shadow, new ShadowOfObject(plane));
    auto* planeTransform = world->getComponent<kit::Transform>(plane.id);

    planeTransform->position = glm::vec3(7, ShadowOfObject::groundHeight + 67.5f, -1);
    world->update(0.0f);
    const auto* t = world->getComponent<kit::Transform>(shadow.id);
    EXPECT_NEAR(t->scale.x, 5.5f, 1e-4f);
    EXPECT_NEAR(t->scale.y, 5.5f, 1e-4f);
    EXPECT_NEAR(*quad->uniform<float>("alpha"), 0.5f, 1e-4f);
    EXPECT_EQ(t->position, glm::vec3(7, ShadowOfObject::groundHeight, -1));

    planeTransform->position.y = ShadowOfObject::groundHeight;
    world->update(0.0f);
    EXPECT_NEAR(t->scale.x, 10.0f, 1e-5f); // on the ground: widest and opaque
    EXPECT_NEAR(*quad->uniform<float>("alpha"), 1.0f, 1e-5f);

    world->destroyEntityNow(plane);
    world->update(0.0f);
    EXPECT_FALSE(world->entities.contains(shadow.id)); // it leaves with its plane
}

TEST_F(PlaneEffects, APingOncePerItsLifeWhileHeldFollowingThePlane)
{
    world->addComponent(plane, new PlayerInfo(PlayerTextureInfo{"Pink", "", "", glm::vec3(0.8f, 0.4f, 0.5f)}, 1));
    world->addComponent(plane, new PlayerPingSpawner);
    auto rings = [&] { return world->getEntities(kit::typeId<TranslationChild>())->size(); };
    world->update(0.1f);
    EXPECT_EQ(rings(), 0u); // not pressed
    gamepad->held[7] = true;
    int started = 0;
    std::size_t before = 0;
    for (int frame = 0; frame < 30; ++frame) { // 3 s held
        world->update(0.1f);
        started += rings() > before ? 1 : 0;
        before = rings();
    }
    EXPECT_GE(started, 2);
    EXPECT_LE(started, 3);
    auto ring = world->getEntities(kit::typeId<TranslationChild>())->toVector().back();
    EXPECT_EQ(*world->getComponent<kit::Model>(ring.id)->uniform<glm::vec3>("color"), glm::vec3(0.8f, 0.4f, 0.5f));
    world->getComponent<kit::Transform>(plane.id)->position = glm::vec3(-5, 3, 0);
    world->update(0.01f);
    EXPECT_EQ(world->getComponent<kit::Transform>(ring.id)->position, glm::vec3(-5, 3, 0));
    const auto* life = world->getComponent<ParticleLifeSpan>(ring.id);
    EXPECT_EQ(life->startScale, 5.0f);
    EXPECT_EQ(life->endScale, 15.0f);
}

TEST_F(PlaneEffects, ATauntOncePerPress)
{
    std::vector<std::string> taunts;
    network->registerFunction(*world, fn::spawnTaunt, [&](kit::EntityHandle e, const std::string& text) {
        EXPECT_EQ(e.id, plane.id);
        taunts.push_back(text);
    });
    world->addComponent(plane, new Taunter);
    gamepad->held[3] = true;
    for (int i = 0; i < 10; ++i)
        world->update(0.1f);
    EXPECT_EQ(taunts, std::vector<std::string>{"Top 'o the day to you :)"});
    gamepad->held[3] = false;
    gamepad->held[6] = true;
    world->update(0.1f);
    gamepad->held[6] = false;
    world->update(0.1f);
    gamepad->held[3] = true;
    world->update(0.1f);
    EXPECT_EQ(taunts,
              (std::vector<std::string>{"Top 'o the day to you :)", "Well played... -_-", "Top 'o the day to you :)"}));
}
