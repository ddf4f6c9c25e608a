#include "PlayerSpawnComp.h"

#include "game/combat/Health.h"

#include "game/common/Tags.h"
#include "game/powerups/PowerupFunctions.h"

#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"
#include "engine/physics/Body.h"
#include "engine/physics/Transform.h"

#include <glm/gtc/quaternion.hpp>

#include <numbers>

namespace skyscuffle {

PlayerSpawnComp::PlayerSpawnComp(glm::vec2 spawnPosition, float spawnAngle, float respawnDelay)
    : spawnPosition(spawnPosition), spawnAngle(spawnAngle), respawnDelay(respawnDelay)
{
    addClassTags<PlayerSpawnComp>("playerSpawnComp");
}

void PlayerSpawnComp::update(float dt)
{
    if (!world->owns(entityId))
        return;
    const Health* health = world->getComponent<Health>(entityId);
    if (!health)
        return;
    if (!health->isDead()) {
        countdown = 0.0f; // alive, or brought back some other way
        down_ = false;
        return;
    }
    if (countdown <= 0.0f) {
        if (!down_)
            countdown = respawnDelay;
        return;
    }
    if (countdown == respawnDelay) {
        // The first frame of the wreck: it only falls, and loses its power-up everywhere.
        if (kit::Component* flight = world->getComponent(entityId, kit::tagId("planePhysics")))
            flight->enabled = false;
        if (world->entityHasTag(entityId, kit::tagId(tags::power))) {
            if (auto* network = kit::NetworkSystem::of(world))
                network->callFunction(kit::destroyComponentFunction, getEntity(), tags::power);
            else
                world->destroyComponents(entityId, kit::tagId(tags::power));
        }
    }
    countdown -= dt;
    if (countdown > 0.0f)
        return;
    if (respawns)
        respawn();
    else
        down_ = true;
}

void PlayerSpawnComp::respawn()
{
    // The quarter turn about +Y lays the nose (+Z) along +X; the spawn
    // angle then turns it within the play plane.
    const float angle = spawnAngle * std::numbers::pi_v<float> / 180.0f;
    const glm::quat inPlane = glm::angleAxis(angle, glm::vec3(0.0f, 0.0f, 1.0f));
    const glm::quat faceX = glm::angleAxis(std::numbers::pi_v<float> * 0.5f, glm::vec3(0.0f, 1.0f, 0.0f));
    respawnAt(glm::vec3(spawnPosition, 0.0f), inPlane * faceX);
}

void PlayerSpawnComp::respawnAt(glm::vec3 position, glm::quat rotation)
{
    countdown = 0.0f;
    down_ = false;
    if (auto* body = world->getComponent<kit::Body>(entityId)) {
        body->velocity = glm::vec3(0.0f);
        body->deltaVelocity = glm::vec3(0.0f);
    }
    if (auto* transform = world->getComponent<kit::Transform>(entityId)) {
        transform->rotation = rotation;
        transform->position = position;
    }
    if (auto* health = world->getComponent<Health>(entityId))
        health->restore();
    if (auto* network = kit::NetworkSystem::of(world))
        network->callFunction(fn::grantInvincibility, getEntity());
    if (const auto* parts = world->componentsOf(entityId)) {
        for (kit::Component* c : *parts)
            c->enabled = true;
    }
}

} // namespace skyscuffle
