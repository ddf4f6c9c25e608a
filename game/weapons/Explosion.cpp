#include "Explosion.h"

#include "game/sound/SoundManager.h"
#include "game/combat/Health.h"
#include "game/common/Tags.h"

#include "engine/core/Log.h"
#include "engine/core/World.h"
#include "engine/physics/Body.h"
#include "engine/physics/CircleCollider.h"
#include "engine/physics/Transform.h"

#include <glm/geometric.hpp>

#include <algorithm>

namespace skyscuffle {

Explosion::Explosion(float blastRadius, float minDamage, float maxDamage, kit::EntityHandle owner)
    : blastRadius(blastRadius), minDamage(minDamage), maxDamage(maxDamage), owner(owner)
{
    addClassTags<Explosion>("explosion");
}

void Explosion::initialize()
{
    if (SoundManager* sounds = SoundManager::of(world))
        sounds->play("bombExplosion");
}

float Explosion::damageAt(float distance) const
{
    const float t = blastRadius > 0.0f ? std::clamp(distance / blastRadius, 0.0f, 1.0f) : 1.0f;
    return maxDamage + (minDamage - maxDamage) * t;
}

void Explosion::update(float)
{
    const auto* own = world->getComponent<kit::Transform>(entityId);
    if (!own) {
        world->destroyEntity(getEntity());
        return;
    }
    const glm::vec2 centre(own->worldPosition());
    const std::vector<kit::EntityHandle> planes = world->getEntities(kit::tagId(tags::plane))->toVector();
    for (const kit::EntityHandle& plane : planes) {
        // Each copy hurts and pushes its own planes; their state reaches the others.
        if (!world->owns(plane.id))
            continue;
        const auto* transform = world->getComponent<kit::Transform>(plane.id);
        if (!transform)
            continue;
        const glm::vec2 offset = glm::vec2(transform->worldPosition()) - centre;
        const auto* circle = world->getComponent<kit::CircleCollider>(plane.id);
        const float d = glm::length(offset) - (circle ? circle->radius : 0.0f);
        const float damage = damageAt(d);
        if (auto* health = world->getComponent<Health>(plane.id))
            health->damage(owner, damage);
        kit::log::info() << "distance:" << d;
        kit::log::info() << "damage:" << damage;
        if (auto* body = world->getComponent<kit::Body>(plane.id); body && body->mass > 0.0f) {
            const float length = glm::length(offset);
            const glm::vec2 away = length > 1e-6f ? offset / length : glm::vec2(0.0f, 1.0f);
            body->deltaVelocity += glm::vec3(away * (3.0f * damage / body->mass), 0.0f);
        }
    }
    world->destroyEntity(getEntity()); // the blast has done its work
}

} // namespace skyscuffle
