#pragma once

#include "engine/core/Label.h"
#include "engine/core/Window.h"
#include "engine/core/World.h"
#include "engine/core/application/Application.h"
#include "engine/physics/CircleCollider.h"
#include "engine/physics/PolygonCollider.h"
#include "engine/physics/RigidBody.h"
#include "engine/physics/Transform.h"

#include <gtest/gtest.h>

namespace test {

// A started world and shortcuts for the bodies physics tests need.
struct PhysicsWorld : ::testing::Test {
    kit::Window window;
    kit::Application app{&window, nullptr};
    std::shared_ptr<kit::World> world = std::make_shared<kit::World>();

    void SetUp() override { app.setWorld(world); }

    kit::RigidBody* circleBody(glm::vec2 at, float radius, glm::vec2 velocity = {}, float mass = 1.0f,
                               float restitution = 0.0f, bool isStatic = false)
    {
        auto e = world->createEntity();
        world->emplaceComponent<kit::Transform>(e, glm::vec3(at, 0.0f));
        world->emplaceComponent<kit::CircleCollider>(e, radius);
        return world->emplaceComponent<kit::RigidBody>(e, isStatic, glm::vec3(velocity, 0.0f),
                                                       std::vector<kit::TagId>{}, mass, restitution);
    }

    kit::RigidBody* wall(glm::vec2 at, float width, float height)
    {
        auto e = world->createEntity();
        world->emplaceComponent<kit::Transform>(e, glm::vec3(at, 0.0f));
        world->emplaceComponent<kit::PolygonCollider>(e, 0.0f, 0.0f, width, height);
        return world->emplaceComponent<kit::RigidBody>(e, true, glm::vec3(0.0f), std::vector<kit::TagId>{}, 1.0f,
                                                       0.0f);
    }

    kit::Transform* transformOf(const kit::Component* c) { return world->getComponent<kit::Transform>(c->entityId); }
};

} // namespace test
