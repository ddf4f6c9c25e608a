// A copy that leaves the session takes what it made out of the others' match.
#include "game/lobby/DepartedCopies.h"

#include "engine/core/Label.h"
#include "engine/core/Window.h"
#include "engine/core/World.h"
#include "engine/core/application/Application.h"
#include "engine/network/NetworkSystem.h"
#include "engine/physics/Transform.h"

#include <gtest/gtest.h>

using namespace skyscuffle;

namespace {

constexpr std::uint32_t own = 0xA0, gone = 0xB0, other = 0xC0;

// A started world (transforms learn their children only there) of copy `own`,
// holding one plane of each of three copies, parts hung on the departing
// copy's plane, and a bullet of it.
struct Scene : ::testing::Test {
    kit::Window window;
    kit::Application app{&window, nullptr};
    std::shared_ptr<kit::World> world = std::make_shared<kit::World>();
    kit::NetworkSystem* network = new kit::NetworkSystem(30.0f);

    void SetUp() override
    {
        world->origin = own;
        world->addComponent(kit::EntityHandle{world->systemEntity(), world.get()}, network);
        app.setWorld(world);
        for (std::uint32_t origin : {own, gone, other})
            plane(kit::EntityID{origin, 1});
        const kit::EntityHandle propeller = part(kit::EntityID{own, 2}, kit::EntityID{gone, 1});
        part(kit::EntityID{own, 3}, propeller.id); // a part of that part
        part(kit::EntityID{own, 4}, kit::EntityID{own, 1});
        world->addComponent(kit::EntityHandle{kit::EntityID{gone, 7}, world.get()}, new kit::Transform());
    }
    void plane(kit::EntityID id)
    {
        const kit::EntityHandle e{id, world.get()};
        world->addComponent(e, new kit::Transform());
        world->addComponent(e, new kit::Label("plane"));
        world->addComponent(e, new kit::Label("player"));
    }
    kit::EntityHandle part(kit::EntityID id, kit::EntityID on)
    {
        const kit::EntityHandle e{id, world.get()};
        world->addComponent(e, new kit::Transform(kit::EntityHandle{on, world.get()}, glm::vec3(0.0f)));
        return e;
    }
    bool has(std::uint32_t origin, std::uint32_t serial) const
    {
        return world->entities.contains(kit::EntityID{origin, serial});
    }
};

} // namespace

TEST_F(Scene, EverythingOfTheCopyGoesWithThePartsHungOnIt)
{
    const DepartedCopy result = removeCopy(*world, gone);
    EXPECT_EQ(result.planes, 1u);
    EXPECT_EQ(result.players, 1u);
    EXPECT_EQ(result.entities, 4u); // its plane and bullet, the propeller and what hangs on it
    EXPECT_FALSE(has(gone, 1));
    EXPECT_FALSE(has(gone, 7));
    EXPECT_FALSE(has(own, 2));
    EXPECT_FALSE(has(own, 3));
    EXPECT_TRUE(has(own, 1));
    EXPECT_TRUE(has(own, 4)); // hung on this copy's own plane
    EXPECT_TRUE(has(other, 1));
    EXPECT_TRUE(has(own, 0)); // the services
}

TEST_F(Scene, ItsPickUpsStayForWhoeverTakesThem)
{
    const kit::EntityHandle item{kit::EntityID{gone, 9}, world.get()};
    world->addComponent(item, new kit::Transform());
    world->addComponent(item, new kit::Label("pickUpItem"));
    const DepartedCopy result = removeCopy(*world, gone);
    EXPECT_TRUE(has(gone, 9));
    EXPECT_FALSE(has(gone, 1)) << "its plane goes all the same";
    EXPECT_EQ(result.entities, 4u);
}

TEST_F(Scene, ACopyNeverRemovesItself)
{
    const std::size_t before = world->entities.size();
    EXPECT_EQ(removeCopy(*world, own).entities, 0u);
    EXPECT_EQ(world->entities.size(), before);
}

TEST_F(Scene, TheDepartureIsToldInOneLineOnce)
{
    removeDepartedCopies(*world);
    testing::internal::CaptureStdout();
    network->copyGone(gone, kit::NetworkSystem::Departure::lost);
    network->copyGone(gone, kit::NetworkSystem::Departure::silent); // heard of again: nothing left, nothing said
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_EQ(console, "Copy 000000b0 lost its connection: its 1 plane is gone from the match\n");
    EXPECT_FALSE(has(gone, 1));
    EXPECT_TRUE(has(other, 1));
}

TEST_F(Scene, TheRuleEndsWithItsWorld)
{
    removeDepartedCopies(*world);
    world->connections.clear(); // as when the world goes
    network->copyGone(gone, kit::NetworkSystem::Departure::left);
    EXPECT_TRUE(has(gone, 1));
}
