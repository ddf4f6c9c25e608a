#include "engine/core/World.h"
#include "StartedWorld.h"

#include "engine/core/Behavior.h"
#include "engine/core/Label.h"
#include "engine/core/Window.h"
#include "engine/core/application/Application.h"
#include "support/Probe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using test::count;
using test::Probe;
using test::StartedWorld;

namespace {

class Marker : public kit::Component {
public:
    Marker() { addClassTags<Marker>("marker"); }
};

} // namespace

TEST(Tags, InterningIsStableAndSharesTheCounterWithTypeIds)
{
    const kit::TagId a = kit::tagId("tags-test-a");
    EXPECT_EQ(kit::tagId("tags-test-a"), a);
    EXPECT_NE(kit::tagId("tags-test-b"), a);
    struct OnlyHere {};
    const kit::TagId type = kit::typeId<OnlyHere>();
    EXPECT_EQ(kit::typeId<OnlyHere>(), type);
    // Both draw from one counter: the next name gets the next id.
    EXPECT_EQ(kit::tagId("tags-test-after-type"), type + 1);
}

TEST(TagsDeathTest, FirstIdsInAFreshProcess)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The child process re-runs only this statement, from a clean start.
    EXPECT_EXIT(
        {
            struct Fresh {};
            const bool ok = kit::tagId("first") == 1 && kit::typeId<Fresh>() == 2 && kit::tagId("first") == 1 &&
                            kit::tagId("") == 3;
            kit::World world;
            const auto e1 = world.createEntity();
            const auto e2 = world.createEntity();
            const bool serials = e1.id.serial == 1 && e2.id.serial == 2 && e1.id.origin == e2.id.origin &&
                                 e1.id.origin == kit::localOrigin();
            std::exit(ok && serials ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(EntityIDs, OrderByOriginThenSerial)
{
    const kit::EntityID a{1, 9}, b{2, 1}, c{2, 3};
    EXPECT_LT(a, b);
    EXPECT_LT(b, c);
    EXPECT_EQ(c, (kit::EntityID{2, 3}));
    kit::World w1, w2;
    // Handles order by id alone; the world takes no part.
    EXPECT_FALSE((kit::EntityHandle{a, &w1} < kit::EntityHandle{a, &w2}));
    EXPECT_TRUE((kit::EntityHandle{a, &w2} < kit::EntityHandle{b, &w1}));
    EXPECT_EQ(kit::systemEntity(), (kit::EntityID{kit::localOrigin(), 0}));
}

TEST(Components, ConstructorsAddTheirTagsAfterTheirBases)
{
    Marker marker;
    EXPECT_TRUE(marker.hasTag(kit::tagId("marker")));
    EXPECT_TRUE(marker.hasTag(kit::typeId<Marker>()));
    kit::Behavior behavior;
    EXPECT_EQ(behavior.tags.size(), 1u);
    EXPECT_TRUE(behavior.hasTag(kit::tagId("behavior")));
    kit::Label label("plane");
    EXPECT_TRUE(label.hasTag(kit::tagId("plane")));
    EXPECT_TRUE(label.hasTag(kit::typeId<kit::Label>()));
    EXPECT_EQ(label.name(), "plane");
}

TEST(Worlds, AnUnstartedWorldIndexesWithoutInitialising)
{
    std::vector<std::string> log;
    auto world = std::make_shared<kit::World>();
    auto entity = world->createEntity();
    auto* probe = world->emplaceComponent<Probe>(entity, "p", log);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(world->getComponent(entity.id, kit::tagId("probe")), probe);
    EXPECT_EQ(probe->world, world.get());
    EXPECT_EQ(probe->entityId, entity.id);

    kit::Window window;
    kit::Application app(&window, nullptr);
    app.setWorld(world);
    EXPECT_EQ(log, (std::vector<std::string>{"p.initialize", "p.onAdded"}));
}

TEST_F(StartedWorld, AddingToAStartedWorldInitialisesOnce)
{
    auto entity = world->createEntity();
    auto* probe = world->emplaceComponent<Probe>(entity, "p", log);
    EXPECT_TRUE(probe->initialized);
    EXPECT_EQ(log, (std::vector<std::string>{"p.initialize", "p.onAdded"}));
}

TEST_F(StartedWorld, MovingAComponentBetweenEntitiesAndWorlds)
{
    auto first = world->createEntity();
    auto second = world->createEntity();
    auto* probe = world->emplaceComponent<Probe>(first, "p", log);
    log.clear();

    world->addComponent(second, probe);
    EXPECT_EQ(log, (std::vector<std::string>{"p.onRemoved", "p.onAdded"}));
    EXPECT_EQ(world->getComponent(first.id, kit::tagId("probe")), nullptr);
    EXPECT_EQ(world->getComponent(second.id, kit::tagId("probe")), probe);

    // To another world that is not started: removed here, nothing runs there.
    log.clear();
    kit::World other;
    auto there = other.createEntity();
    other.addComponent(there, probe);
    EXPECT_EQ(log, (std::vector<std::string>{"p.onRemoved"}));
    EXPECT_FALSE(world->components.contains(probe));
    EXPECT_EQ(other.getComponent(there.id, kit::typeId<Probe>()), probe);
    EXPECT_EQ(probe->world, &other);
}

TEST_F(StartedWorld, RemovingHandsOwnershipBack)
{
    auto entity = world->createEntity();
    auto* probe = world->emplaceComponent<Probe>(entity, "p", log);
    EXPECT_EQ(world->removeComponent(nullptr), nullptr);
    kit::Component* back = world->removeComponent(probe);
    EXPECT_EQ(back, probe);
    EXPECT_EQ(probe->world, nullptr);
    EXPECT_EQ(probe->entityId, entity.id); // kept
    EXPECT_TRUE(probe->initialized);
    EXPECT_EQ(world->getComponent(entity.id, kit::tagId("probe")), nullptr);
    EXPECT_TRUE(world->entities.contains(entity.id)); // the entity outlives its last component
    EXPECT_EQ(count(log, "p.destroyed"), 0);
    delete back;
}

TEST_F(StartedWorld, GetComponentReturnsTheLowestAddressAndDerivedClasses)
{
    auto entity = world->createEntity();
    auto* a = world->emplaceComponent<Probe>(entity, "a", log);
    auto* b = world->emplaceComponent<Probe>(entity, "b", log);
    EXPECT_EQ(world->getComponent(entity.id, kit::tagId("behavior")), std::min(a, b, std::less<>{}));
    EXPECT_EQ(world->getComponent<Probe>(entity.id), std::min(a, b, std::less<>{}));
    EXPECT_EQ(world->getComponent(entity.id, kit::tagId("no-such-tag")), nullptr);
    EXPECT_EQ(world->getComponent(kit::EntityID{1, 123456}, kit::tagId("probe")), nullptr);

    world->destroyComponents(entity.id, kit::tagId("probe"));
    EXPECT_EQ(world->getComponent<Probe>(entity.id), nullptr);
    EXPECT_EQ(count(log, "a.destroyed") + count(log, "b.destroyed"), 2);
}

TEST_F(StartedWorld, AServiceIsFoundWhereverItsEntityIs)
{
    EXPECT_EQ(world->single<Marker>(), nullptr); // none yet, and asking makes none

    auto* onSystem = new Marker;
    world->addComponent(kit::EntityHandle{world->systemEntity(), world.get()}, onSystem);
    EXPECT_EQ(world->single<Marker>(), onSystem);
    EXPECT_EQ(world->single<Probe>(), nullptr);

    // A second one (a test's, or a mistake): the lowest address, each time.
    auto* elsewhere = world->emplaceComponent<Marker>(world->createEntity());
    EXPECT_EQ(world->single<Marker>(), std::min(onSystem, elsewhere, std::less<>{}));

    delete world->removeComponent(onSystem);
    EXPECT_EQ(world->single<Marker>(), elsewhere);
    delete world->removeComponent(elsewhere);
    EXPECT_EQ(world->single<Marker>(), nullptr);
}

TEST_F(StartedWorld, EntityCollectionsFollowTagsLive)
{
    const kit::TagId plane = kit::tagId("plane");
    const kit::TagId probe = kit::tagId("probe");
    auto* planes = world->getEntities(plane, probe);
    EXPECT_EQ(world->getEntities(plane, probe), planes);
    EXPECT_EQ(world->getEntities(probe, plane), planes); // a set of tags, not a sequence

    auto entity = world->createEntity();
    world->emplaceComponent<kit::Label>(entity, "plane");
    EXPECT_FALSE(planes->contains(entity.id));
    auto* p = world->emplaceComponent<Probe>(entity, "p", log);
    EXPECT_TRUE(planes->contains(entity.id)); // the last missing tag arrived
    auto* second = world->emplaceComponent<Probe>(entity, "q", log);
    delete world->removeComponent(p);
    EXPECT_TRUE(planes->contains(entity.id)); // another probe still carries the tag
    delete world->removeComponent(second);
    EXPECT_FALSE(planes->contains(entity.id));
    EXPECT_EQ(planes->size(), 0u);
}

TEST_F(StartedWorld, CollectionsBuiltLateSeeWhatIsAlreadyThere)
{
    std::vector<kit::EntityHandle> made;
    for (int i = 0; i < 4; ++i) {
        made.push_back(world->createEntity());
        world->emplaceComponent<Marker>(made.back());
    }
    auto* markers = world->getEntities(kit::typeId<Marker>());
    EXPECT_EQ(markers->size(), 4u);
    std::vector<kit::EntityHandle> seen;
    for (auto it = markers->begin(); it != markers->end(); ++it)
        seen.push_back(*it);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(seen.front().world, world.get());

    auto* components = world->getComponentCollection(kit::tagId("marker"));
    EXPECT_EQ(world->getComponentCollection(kit::tagId("marker")), components);
    EXPECT_EQ(components->size(), 4u);

    // Destroying entities while walking the collection visits every survivor once.
    int visited = 0;
    for (auto it = markers->begin(); it != markers->end(); ++it) {
        ++visited;
        world->destroyEntityNow(*it);
    }
    EXPECT_EQ(visited, 4);
    EXPECT_TRUE(markers->empty());
    EXPECT_TRUE(components->empty());
}

TEST_F(StartedWorld, SignalsFireForEachTagOnAddAndRemove)
{
    std::vector<kit::Component*> added, removed;
    kit::ScopedConnection a =
        world->onComponentAdded(kit::tagId("marker"), [&](kit::Component* c) { added.push_back(c); });
    kit::ScopedConnection r =
        world->onComponentRemoved(kit::tagId("marker"), [&](kit::Component* c) { removed.push_back(c); });
    auto* m = world->emplaceComponent<Marker>(world->createEntity());
    EXPECT_EQ(added, std::vector<kit::Component*>{m});
    world->destroyEntityNow(m->getEntity());
    EXPECT_EQ(removed.size(), 1u);
}

TEST(WorldLifetime, DestructionDeletesComponentsWithoutOnRemoved)
{
    std::vector<std::string> log;
    {
        kit::Window window;
        kit::Application app(&window, nullptr);
        auto world = std::make_shared<kit::World>();
        world->emplaceComponent<Probe>(world->createEntity(), "p", log);
        world->getEntities(kit::tagId("probe"));
        app.setWorld(world);
        log.clear();
    }
    EXPECT_EQ(log, std::vector<std::string>{"p.destroyed"});
}

TEST(WorldLifetime, StartRunsTheSetupThenAddsEverythingAgain)
{
    std::vector<std::string> log;
    kit::Window window;
    kit::Application app(&window, nullptr);
    auto world = std::make_shared<kit::World>([&](kit::World* w) {
        log.push_back("setup");
        w->emplaceComponent<Probe>(w->createEntity(), "a", log);
        w->emplaceComponent<Probe>(w->createEntity(), "b", log);
    });
    app.setWorld(world);
    // The world counts as started while its setup runs, so the setup's
    // components are initialised as they arrive; start() then calls onAdded on
    // every component once more.
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log[0], "setup");
    EXPECT_EQ(count(log, "a.initialize"), 1);
    EXPECT_EQ(count(log, "b.initialize"), 1);
    EXPECT_EQ(count(log, "a.onAdded"), 2);
    EXPECT_EQ(count(log, "b.onAdded"), 2);
    EXPECT_EQ(log.back().substr(1), ".onAdded");
}

namespace {

// Records, when deleted, the world it still believed it was in.
class Witness : public kit::Component {
public:
    explicit Witness(kit::World*& seen) : seen(seen) {}
    ~Witness() override { seen = world; }
    kit::World*& seen;
};

} // namespace

TEST(WorldLifetime, ComponentsAreDetachedBeforeTheyAreDeleted)
{
    kit::World* seen = reinterpret_cast<kit::World*>(1);
    {
        kit::World world;
        world.addComponent(world.createEntity(), new Witness(seen));
    }
    EXPECT_EQ(seen, nullptr); // a destructor can tell that its world is going and must not reach it
}

TEST(Worlds, IdsCarryTheWorldsOriginAndTheApplicationHandsItOn)
{
    kit::Window window;
    kit::Application app(&window, nullptr);
    auto first = std::make_shared<kit::World>();
    first->origin = 0xABCD;
    app.setWorld(first);
    const kit::EntityHandle made = first->createEntity();
    EXPECT_EQ(made.id.origin, 0xABCDu);
    EXPECT_TRUE(first->owns(made.id));
    EXPECT_FALSE(first->owns(kit::EntityID{0x1234, made.id.serial}));
    EXPECT_EQ(first->systemEntity(), (kit::EntityID{0xABCD, 0}));

    auto next = std::make_shared<kit::World>();
    app.setWorld(next);
    app.frame(0.0f);
    ASSERT_EQ(app.current, next);
    EXPECT_EQ(next->origin, 0xABCDu);
    EXPECT_EQ(next->createEntity().id.origin, 0xABCDu);
}

TEST(Worlds, SpawnCallsClaimOnlyFreshEntities)
{
    kit::World world;
    EXPECT_FALSE(world.claimEntity(kit::EntityID{7, 0})); // a system entity
    EXPECT_FALSE(world.claimEntity(world.systemEntity()));

    const kit::EntityHandle made = world.createEntity(); // the caller made the id: still fresh
    const auto claimed = world.claimEntity(made.id);
    ASSERT_TRUE(claimed);
    EXPECT_EQ(claimed->id, made.id);
    EXPECT_EQ(claimed->world, &world);
    world.emplaceComponent<Marker>(*claimed);
    EXPECT_FALSE(world.claimEntity(made.id)); // a second spawn under the same id

    const kit::EntityID remote{0x5555, 3};
    ASSERT_TRUE(world.claimEntity(remote));
    world.emplaceComponent<Marker>(kit::EntityHandle{remote, &world});
    world.destroyEntityNow(kit::EntityHandle{remote, &world});
    EXPECT_FALSE(world.claimEntity(remote)); // a late call does not bring it back
    EXPECT_TRUE(world.claimEntity(kit::EntityID{0x5555, 4}));
}
