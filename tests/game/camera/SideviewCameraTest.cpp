#include "game/camera/SideviewCameraBehavior.h"

#include "engine/core/Label.h"
#include "engine/physics/Body.h"
#include "engine/physics/Transform.h"
#include "support/Edges.h"
#include "support/GameWorld.h"

#include <limits>

using namespace skyscuffle;

namespace {

struct Camera : test::GameWorld {
    kit::Transform* camera = nullptr;

    void SetUp() override
    {
        test::GameWorld::SetUp();
        const kit::EntityHandle e = world->createEntity();
        camera = new kit::Transform(glm::vec3(0, 0, 100), glm::vec3(16.0f / 9.0f, 1.0f, 1.0f));
        world->addComponent(e, camera);
        world->addComponent(e, new SideviewCameraBehavior("cameraFocus"));
    }
    void focus(glm::vec3 at, glm::vec3 velocity = glm::vec3(0.0f), bool withBody = true)
    {
        const kit::EntityHandle e = world->createEntity();
        world->addComponent(e, new kit::Transform(at));
        if (withBody)
            world->addComponent(e, new kit::Body(velocity));
        world->addComponent(e, new kit::Label("cameraFocus"));
    }
};

} // namespace

TEST_F(Camera, NothingToFrameGivesTheNearestViewOfTheOrigin)
{
    world->update(0.0f);
    EXPECT_EQ(camera->position, glm::vec3(0, 0, 25));
}

TEST_F(Camera, ASinglePlaneAtRestIsFramedFromTheNearestDistance)
{
    focus(glm::vec3(10, 5, 0));
    world->update(0.0f);
    EXPECT_EQ(camera->position, glm::vec3(10, 5, 25));
}

TEST_F(Camera, TheWidthIsDividedByTheAspect)
{
    focus(glm::vec3(-50, 0, 0));
    focus(glm::vec3(50, 10, 0));
    world->update(0.0f);
    EXPECT_NEAR(camera->position.z, 56.25f, 1e-4f);
    EXPECT_NEAR(camera->position.x, 0.0f, 1e-5f);
    EXPECT_NEAR(camera->position.y, 5.0f, 1e-5f);
}

TEST_F(Camera, TheHeightWinsWhenItIsLarger)
{
    focus(glm::vec3(0, -40, 0));
    focus(glm::vec3(10, 40, 0), glm::vec3(0), false);
    world->update(0.0f);
    EXPECT_NEAR(camera->position.z, 80.0f, 1e-4f);
}

TEST_F(Camera, AFastPlaneIsFramedAheadOfItself)
{
    focus(glm::vec3(0, 0, 0), glm::vec3(100, 0, 0));
    world->update(0.0f);
    // The box runs from the plane to where it will be in half a second.
    EXPECT_NEAR(camera->position.x, 25.0f, 1e-4f);
    EXPECT_NEAR(camera->position.z, std::max(50.0f / (16.0f / 9.0f), 25.0f), 1e-4f);
}

TEST_F(Camera, AFocusThatIsNowhereIsLeftOut)
{
    const float notANumber = std::numeric_limits<float>::quiet_NaN();
    focus(glm::vec3(10, 5, 0));
    focus(glm::vec3(notANumber, 0, 0));
    focus(glm::vec3(0, 1e30f, 0));                            // out of all proportion
    focus(glm::vec3(-10, 5, 0), glm::vec3(notANumber, 0, 0)); // its lead is nowhere
    focus(glm::vec3(0, 0, 0), glm::vec3(0, 3e38f, 0));        // and this one's far away
    world->update(0.0f);
    EXPECT_EQ(camera->position, glm::vec3(0, 2.5f, 25));
}

TEST_F(Camera, AFocusOnTheEnginesBoundIsFramedAndOneAFloatPastItIsNot)
{
    const float limit = 10000.0f; // kit::received::limit
    focus(glm::vec3(limit, 0, 0), glm::vec3(0.0f), false);
    focus(glm::vec3(0, test::justPast(-limit), 0), glm::vec3(0.0f), false);
    world->update(0.0f);
    EXPECT_EQ(camera->position.x, limit); // the only focus framed
    EXPECT_EQ(camera->position.y, 0.0f);
}

TEST_F(Camera, ALeadOnTheEnginesBoundIsFramedAndOneAFloatPastItIsNot)
{
    const float limit = 10000.0f;
    // Led half a second ahead (the default lead): to the bound, and past it.
    focus(glm::vec3(0, 0, 0), glm::vec3(2.0f * limit, 0, 0));
    focus(glm::vec3(0, 0, 0), glm::vec3(0, 2.0f * test::justPast(-limit), 0));
    world->update(0.0f);
    EXPECT_EQ(camera->position.x, limit / 2.0f);
    EXPECT_EQ(camera->position.y, 0.0f);
}

TEST_F(Camera, InAnArenaWhatItLooksForStaysInsideTheOpenSpace)
{
    auto* behavior = world->single<SideviewCameraBehavior>();
    behavior->within = SideviewCameraBehavior::Area{glm::vec2(-72, -51), glm::vec2(72, 105)};
    // A plane racing at the right wall: its lead would be far past it.
    focus(glm::vec3(60, 0, 0), glm::vec3(100, 0, 0));
    world->update(0.0f);
    EXPECT_NEAR(camera->position.x, 66.0f, 1e-4f) << "framed up to the wall, not past it";
    // The floor and the ceiling hold too; inside, nothing moves.
    focus(glm::vec3(-10, -40, 0), glm::vec3(0, -100, 0));
    focus(glm::vec3(-20, 120, 0), glm::vec3(0), false); // above the ceiling
    world->update(0.0f);
    EXPECT_NEAR(camera->position.x, (72.0f - 20.0f) * 0.5f, 1e-4f);
    EXPECT_NEAR(camera->position.y, (105.0f - 51.0f) * 0.5f, 1e-4f);
    EXPECT_NEAR(camera->position.z, 156.0f, 1e-3f) << "floor to ceiling";
}
