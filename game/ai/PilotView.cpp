#include "PilotView.h"

#include "game/combat/Health.h"
#include "game/common/Tags.h"
#include "game/flight/FlightSettings.h"
#include "game/weapons/WeaponSettings.h"

#include "engine/core/World.h"
#include "engine/physics/Body.h"
#include "engine/physics/Transform.h"

#include <glm/geometric.hpp>

namespace skyscuffle {

namespace pilot {

glm::vec3 position(kit::EntityHandle entity)
{
    const auto* t = entity.world ? entity.world->getComponent<kit::Transform>(entity.id) : nullptr;
    return t ? t->worldPosition() : glm::vec3(0.0f);
}

glm::vec3 velocity(kit::EntityHandle entity)
{
    const auto* b = entity.world ? entity.world->getComponent<kit::Body>(entity.id) : nullptr;
    return b ? b->velocity : glm::vec3(0.0f);
}

glm::vec3 nose(kit::EntityHandle entity)
{
    const auto* t = entity.world ? entity.world->getComponent<kit::Transform>(entity.id) : nullptr;
    return t ? t->worldRotation() * glm::vec3(0.0f, 0.0f, 1.0f) : glm::vec3(0.0f, 0.0f, 1.0f);
}

bool exists(kit::EntityHandle entity)
{
    return entity.world && entity.world->getComponent<kit::Transform>(entity.id);
}

bool isFairTarget(kit::EntityHandle entity)
{
    if (!exists(entity) || entity.world->entityHasTag(entity.id, kit::tagId(tags::invincibilityPower)))
        return false;
    const auto* health = entity.world->getComponent<Health>(entity.id);
    return health && !health->isDead();
}

float leadTime(float distance, float speed)
{
    const float closing = speed + weaponSettings::basicGun.velocity.value() + flightSettings::acceleration.value();
    return closing > 1e-3f ? distance / closing : 0.0f;
}

float cosine(glm::vec2 a, glm::vec2 b)
{
    const float la = glm::length(a), lb = glm::length(b);
    return la > 1e-6f && lb > 1e-6f ? glm::dot(a, b) / (la * lb) : 0.0f;
}

} // namespace pilot

} // namespace skyscuffle
