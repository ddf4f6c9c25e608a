#include "engine/core/DelayedSignal.h"
#include "engine/core/UpdateSignal.h"
#include "engine/core/World.h"

#include <gtest/gtest.h>

TEST(UpdateSignals, FireEveryFrameUnlessDisabled)
{
    kit::World world;
    std::vector<float> seen;
    auto* signal = world.emplaceComponent<kit::UpdateSignal>(world.createEntity(), [&](kit::Component* self, float dt) {
        EXPECT_NE(self, nullptr);
        seen.push_back(dt);
    });
    world.update(0.25f);
    world.update(0.5f);
    signal->enabled = false;
    world.update(1.0f);
    EXPECT_EQ(seen, (std::vector<float>{0.25f, 0.5f}));
    EXPECT_TRUE(signal->hasTag(kit::tagId("updateSignal")));
}

TEST(DelayedSignals, FireOnceAfterTheDelayAndLeave)
{
    kit::World world;
    int fired = 0;
    auto entity = world.createEntity();
    world.emplaceComponent<kit::DelayedSignal>(
        entity, [&](kit::Component*) { ++fired; }, 1.0f);
    for (int frame = 0; frame < 4; ++frame)
        world.update(0.25f); // exactly 1.0 s: not yet
    EXPECT_EQ(fired, 0);
    world.update(0.01f);
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(world.componentsOf(entity.id), nullptr); // removed and deleted
    world.update(1.0f);
    EXPECT_EQ(fired, 1);
}

TEST(DelayedSignals, ACallbackMayDestroyItsOwnEntity)
{
    kit::World world;
    auto entity = world.createEntity();
    world.emplaceComponent<kit::DelayedSignal>(
        entity, [&](kit::Component* self) { self->world->destroyEntityNow(self->getEntity()); }, 0.0f);
    world.update(0.01f);
    EXPECT_FALSE(world.entities.contains(entity.id));
}

TEST(UpdateSignals, ACallbackMayRemoveItsOwnSignal)
{
    kit::World world;
    int fired = 0;
    std::string capturedText = "kept alive for the whole call";
    const kit::EntityHandle entity = world.createEntity();
    world.emplaceComponent<kit::UpdateSignal>(entity, [&fired, capturedText](kit::Component* self, float) {
        delete self->world->removeComponent(self);
        // The callable is still intact after its component went.
        fired += capturedText.size() > 0 ? 1 : 0;
    });
    world.update(0.1f);
    world.update(0.1f);
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(world.componentsOf(entity.id), nullptr);
}

TEST(DelayedSignals, ACallbackMayDestroyTheWholeEntityItLivesOn)
{
    kit::World world;
    int fired = 0;
    const kit::EntityHandle entity = world.createEntity();
    world.emplaceComponent<kit::UpdateSignal>(entity, [](kit::Component*, float) {});
    world.emplaceComponent<kit::DelayedSignal>(
        entity,
        [&fired, tail = std::string(64, 'x')](kit::Component* self) {
            self->world->destroyEntityNow(self->getEntity());
            fired += tail.size() == 64 ? 1 : 0;
        },
        0.0f);
    world.update(0.01f);
    EXPECT_EQ(fired, 1);
    EXPECT_FALSE(world.entities.contains(entity.id));
}
