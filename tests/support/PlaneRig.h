#pragma once

#include "FakeGamepad.h"

#include "game/common/GameMath.h"
#include "game/players/PlayerInfo.h"
#include "game/combat/Health.h"
#include "game/combat/Score.h"
#include "game/flight/PlanePhysics.h"

#include "engine/core/Label.h"
#include "engine/core/World.h"
#include "engine/physics/CircleCollider.h"
#include "engine/physics/RigidBody.h"
#include "engine/physics/Transform.h"

#include <glm/gtc/quaternion.hpp>

using namespace skyscuffle;

namespace test {

// A plane as the game builds one, without its looks: transform, rigid body,
// flight, health, score, a collision circle of radius 2, the "plane" label,
// and (unless it belongs to another copy) a gamepad the test steers. With
// `networked`, the parts the game replicates are tagged "networked" as the
// game tags them, so that a network system sends their state.
struct PlaneRig {
    kit::EntityHandle entity;
    FakeGamepad* gamepad = nullptr;
    kit::Transform* transform = nullptr;
    kit::RigidBody* body = nullptr;
    PlanePhysics* physics = nullptr;
    Health* health = nullptr;

    // The nose points along `nose` (in the play plane), the top toward +Y.
    static PlaneRig build(kit::World& world, glm::vec3 at, glm::vec3 nose = glm::vec3(1, 0, 0),
                          kit::EntityID id = kit::EntityID{}, bool networked = false)
    {
        PlaneRig p;
        p.entity = id == kit::EntityID{} ? world.createEntity() : kit::EntityHandle{id, &world};
        auto replicated = [&](kit::Component* c) {
            if (networked)
                c->addTag(kit::tagId("networked"));
            world.addComponent(p.entity, c);
        };
        p.transform = new kit::Transform(at, glm::vec3(1.0f), shortestArc(glm::vec3(0, 0, 1), glm::normalize(nose)));
        replicated(p.transform);
        p.body = new kit::RigidBody(false, glm::vec3(0.0f), {}, 1.0f, 0.5f);
        replicated(p.body);
        p.physics = new PlanePhysics(kit::EntityHandle{});
        replicated(p.physics);
        p.health = new Health(10.0f);
        replicated(p.health);
        replicated(new Score);
        world.addComponent(p.entity, new kit::CircleCollider(2.0f));
        world.addComponent(p.entity, new kit::Label("plane"));
        world.addComponent(p.entity, new PlayerInfo(PlayerTextureInfo{"Red", "", "", glm::vec3(0.8f, 0.4f, 0.3f)}, 1));
        if (world.owns(p.entity.id)) {
            p.gamepad = new FakeGamepad;
            world.addComponent(p.entity, p.gamepad);
        }
        return p;
    }

    [[nodiscard]] glm::vec3 nose() const { return transform->rotation * glm::vec3(0, 0, 1); }
    [[nodiscard]] glm::vec3 top() const { return transform->rotation * glm::vec3(0, 1, 0); }
};

} // namespace test
