// A world's update pass: its order, what changes during it (components
// removed, entities destroyed, priorities changed) and the steps it takes
// when time runs faster or has to catch up.
#include "StartedWorld.h"
#include "engine/core/World.h"

#include "engine/core/Behavior.h"
#include "support/Probe.h"

#include <gtest/gtest.h>

#include <algorithm>

using test::count;
using test::Probe;
using test::StartedWorld;

TEST_F(StartedWorld, UpdateOrderIsPriorityThenEntityId)
{
    auto e1 = world->createEntity();
    auto e2 = world->createEntity();
    world->emplaceComponent<Probe>(e2, "late-entity", log);
    world->emplaceComponent<Probe>(e1, "early-entity", log);
    world->emplaceComponent<Probe>(e2, "network", log, -10.0f);
    world->emplaceComponent<Probe>(e1, "physics", log, 100.0f);
    log.clear();
    world->update(0.01f);
    EXPECT_EQ(log, (std::vector<std::string>{"network.update", "early-entity.update", "late-entity.update",
                                             "physics.update"}));
    log.clear();
    world->render(0.01f);
    EXPECT_EQ(log, (std::vector<std::string>{"network.render", "early-entity.render", "late-entity.render",
                                             "physics.render"}));
}

TEST_F(StartedWorld, DisabledComponentsStayIndexedButAreSkipped)
{
    auto entity = world->createEntity();
    auto* probe = world->emplaceComponent<Probe>(entity, "p", log);
    probe->enabled = false;
    log.clear();
    world->update(0.01f);
    world->render(0.01f);
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(world->getEntities(kit::tagId("probe"))->contains(entity.id));
    EXPECT_TRUE(world->updateOrder->contains(probe));
}

TEST_F(StartedWorld, SelfDestructionIsDeferredToTheEndOfThePass)
{
    auto victim = world->createEntity();
    auto* a = world->emplaceComponent<Probe>(victim, "a", log, 1.0f);
    world->emplaceComponent<Probe>(victim, "b", log, 2.0f);
    auto killer = world->createEntity();
    auto* k = world->emplaceComponent<Probe>(killer, "k", log, 3.0f);
    a->onUpdate = [&] { world->destroyEntity(victim); };
    k->onUpdate = [&] { world->destroyEntity(victim); }; // queued twice: harmless
    log.clear();

    world->update(0.01f);
    // Both of the victim's behaviours ran to the end of the pass before it died, once.
    EXPECT_EQ(count(log, "a.update"), 1);
    EXPECT_EQ(count(log, "b.update"), 1);
    EXPECT_EQ(count(log, "a.destroyed"), 1);
    EXPECT_EQ(count(log, "b.destroyed"), 1);
    EXPECT_FALSE(world->entities.contains(victim.id));
    EXPECT_EQ(world->componentsOf(victim.id), nullptr);
    EXPECT_TRUE(world->pendingDestroy.empty());

    world->destroyEntityNow(victim); // already gone: nothing happens
    world->destroyEntityNow(kit::EntityHandle{kit::EntityID{7, 7}, world.get()});
}

TEST_F(StartedWorld, RemovingTheNextBehaviourDuringThePass)
{
    std::vector<Probe*> probes;
    for (int i = 0; i < 5; ++i)
        probes.push_back(
            world->emplaceComponent<Probe>(world->createEntity(), "p" + std::to_string(i), log, static_cast<float>(i)));
    // p1 removes p2, which comes next; p3 adds a behaviour that sorts after it.
    probes[1]->onUpdate = [&] { delete world->removeComponent(probes[2]); };
    probes[3]->onUpdate = [&] {
        probes[3]->onUpdate = nullptr;
        world->emplaceComponent<Probe>(world->createEntity(), "late", log, 10.0f);
        world->emplaceComponent<Probe>(world->createEntity(), "early", log, -1.0f);
    };
    log.clear();
    world->update(0.01f);
    std::vector<std::string> updates;
    std::copy_if(log.begin(), log.end(), std::back_inserter(updates),
                 [](const std::string& l) { return l.ends_with(".update"); });
    EXPECT_EQ(updates, (std::vector<std::string>{"p0.update", "p1.update", "p3.update", "p4.update", "late.update"}));
}

TEST_F(StartedWorld, RemovingTheCurrentBehaviourDuringThePass)
{
    auto* a = world->emplaceComponent<Probe>(world->createEntity(), "a", log, 1.0f);
    world->emplaceComponent<Probe>(world->createEntity(), "b", log, 2.0f);
    a->onUpdate = [&] { delete world->removeComponent(a); };
    log.clear();
    world->update(0.01f);
    EXPECT_EQ(count(log, "a.update"), 1);
    EXPECT_EQ(count(log, "b.update"), 1);
}

namespace {

// Destroys its own entity when it is removed: a removal inside a removal.
class Suicidal : public kit::Component {
public:
    void onRemoved() override { world->destroyEntityNow(getEntity()); }
};

} // namespace

TEST_F(StartedWorld, AComponentThatDestroysItsEntityWhenRemoved)
{
    auto e = world->createEntity();
    world->emplaceComponent<Suicidal>(e);
    world->emplaceComponent<Probe>(e, "sibling", log);
    world->emplaceComponent<Suicidal>(e);
    world->destroyEntityNow(e); // no endless recursion, everything goes once
    EXPECT_FALSE(world->entities.contains(e.id));
    EXPECT_EQ(world->componentsOf(e.id), nullptr);
    EXPECT_EQ(count(log, "sibling.destroyed"), 1);
}

namespace {

// Takes another entity with it when it goes, the way a plane takes its shadow.
class TakesAlong : public kit::Component {
public:
    explicit TakesAlong(kit::EntityHandle other) : other(other) {}
    void onRemoved() override { world->destroyEntity(other); }
    kit::EntityHandle other;
};

} // namespace

TEST_F(StartedWorld, DestructionsQueuedWhileDestroyingHappenInTheSamePass)
{
    auto grandchild = world->createEntity();
    world->emplaceComponent<Probe>(grandchild, "grandchild", log);
    auto child = world->createEntity();
    world->emplaceComponent<TakesAlong>(child, grandchild);
    auto parent = world->createEntity();
    world->emplaceComponent<TakesAlong>(parent, child);
    auto* killer = world->emplaceComponent<Probe>(world->createEntity(), "killer", log);
    killer->onUpdate = [&] { world->destroyEntity(parent); };

    world->update(0.01f);
    // The whole chain is gone at the end of the one pass, nothing left waiting.
    EXPECT_FALSE(world->entities.contains(parent.id));
    EXPECT_FALSE(world->entities.contains(child.id));
    EXPECT_FALSE(world->entities.contains(grandchild.id));
    EXPECT_EQ(count(log, "grandchild.destroyed"), 1);
    EXPECT_TRUE(world->pendingDestroy.empty());
}

TEST_F(StartedWorld, ChangingAPriorityReordersAtOnce)
{
    auto* a = world->emplaceComponent<Probe>(world->createEntity(), "a", log, 0.0f);
    auto* b = world->emplaceComponent<Probe>(world->createEntity(), "b", log, 1.0f);
    a->setUpdatePriority(2.0f);
    a->setRenderPriority(2.0f);
    EXPECT_EQ(a->updatePriority(), 2.0f);
    log.clear();
    world->update(0.0f);
    world->render(0.0f);
    EXPECT_EQ(log, (std::vector<std::string>{"b.update", "a.update", "b.render", "a.render"}));
    // A cached render-order collection follows too.
    auto* byRender = world->getComponentsByRenderPriority(kit::tagId("probe"));
    b->setRenderPriority(3.0f);
    EXPECT_EQ(byRender->toVector(), (std::vector<kit::Component*>{a, b}));
    // Removal still finds a component whose priority changed.
    delete world->removeComponent(a);
    EXPECT_EQ(world->updateOrder->toVector(), std::vector<kit::Component*>{b});
    EXPECT_EQ(byRender->toVector(), std::vector<kit::Component*>{b});
}

TEST_F(StartedWorld, APriorityChangedDuringThePassTakesEffectWithoutSkippingOthers)
{
    auto* a = world->emplaceComponent<Probe>(world->createEntity(), "a", log, 0.0f);
    world->emplaceComponent<Probe>(world->createEntity(), "b", log, 1.0f);
    world->emplaceComponent<Probe>(world->createEntity(), "c", log, 2.0f);
    a->onUpdate = [a] { a->setUpdatePriority(5.0f); };
    log.clear();
    world->update(0.0f);
    // b and c still run; a, now last, runs once more at its new place.
    EXPECT_EQ(log, (std::vector<std::string>{"a.update", "b.update", "c.update", "a.update"}));
    log.clear();
    a->onUpdate = nullptr;
    world->update(0.0f);
    EXPECT_EQ(log, (std::vector<std::string>{"b.update", "c.update", "a.update"}));
}

// A world's time scale and catch-up: the same time in more steps, none
// longer than a sixtieth of a second (a twentieth when catching up).
TEST_F(StartedWorld, TimeScaleAndCatchUpRunTheSameTimeInShortSteps)
{
    struct Steps : kit::Behavior {
        std::vector<float> seen;
        void update(float dt) override { seen.push_back(dt); }
    };
    auto* steps = world->emplaceComponent<Steps>(world->createEntity());
    const auto total = [&] {
        float sum = 0.0f;
        for (float dt : steps->seen)
            sum += dt;
        return sum;
    };

    world->update(0.01f);
    EXPECT_EQ(steps->seen, std::vector<float>{0.01f}) << "at 1x one update is one step of its own length";

    steps->seen.clear();
    world->timeScale = 4.0f;
    world->update(1.0f / 60.0f);
    ASSERT_EQ(steps->seen.size(), 4u);
    EXPECT_NEAR(total(), 4.0f / 60.0f, 1e-6f);
    EXPECT_NEAR(steps->seen[0], 1.0f / 60.0f, 1e-6f);

    steps->seen.clear();
    world->timeScale = 0.5f;
    world->update(1.0f / 60.0f);
    ASSERT_EQ(steps->seen.size(), 1u);
    EXPECT_NEAR(steps->seen[0], 0.5f / 60.0f, 1e-7f);

    steps->seen.clear();
    world->timeScale = 0.0f;
    world->update(1.0f / 60.0f);
    EXPECT_EQ(steps->seen, std::vector<float>{0.0f}) << "stopped: one update of nothing";

    // Ten seconds caught up while stopped: exactly ten seconds, in steps of at most a twentieth.
    steps->seen.clear();
    world->catchUp = 10.0f;
    world->update(1.0f / 60.0f);
    EXPECT_EQ(steps->seen.size(), 200u);
    EXPECT_NEAR(total(), 10.0f, 1e-3f);
    EXPECT_LE(*std::max_element(steps->seen.begin(), steps->seen.end()), kit::World::catchUpStep + 1e-6f);
    EXPECT_EQ(world->catchUp, 0.0f) << "once";

    // Caught up while running at 2x: the catch-up, then the frame's own time.
    steps->seen.clear();
    world->timeScale = 2.0f;
    world->catchUp = 0.1f;
    world->update(1.0f / 60.0f);
    EXPECT_NEAR(total(), 0.1f + 2.0f / 60.0f, 1e-5f);
    EXPECT_EQ(steps->seen.size(), 2u + 2u);

    steps->seen.clear();
    world->timeScale = std::numeric_limits<float>::quiet_NaN();
    world->catchUp = -5.0f;
    world->update(1.0f / 60.0f);
    EXPECT_EQ(steps->seen, std::vector<float>{0.0f}) << "nonsense stops time rather than running it backwards";
}
