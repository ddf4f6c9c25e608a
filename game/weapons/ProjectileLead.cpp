#include "ProjectileLead.h"

#include "game/common/Tags.h"
#include "game/weapons/HitClaim.h"

#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"
#include "engine/physics/CircleCollider.h"
#include "engine/physics/Transform.h"

#include <glm/geometric.hpp>

#include <algorithm>
#include <cmath>
#include <limits>

namespace skyscuffle {

ProjectileLead ProjectileLead::along(glm::vec3 from, glm::vec2 velocity, float delay, float radius,
                                     const std::vector<Target>& targets)
{
    const float seconds = std::isfinite(delay) ? std::clamp(delay, 0.0f, maxLead) : 0.0f;
    const glm::vec2 start(from);
    const glm::vec2 way = velocity * seconds;
    const float length2 = glm::dot(way, way);
    if (!(length2 > 0.0f) || !std::isfinite(length2))
        return {from, 0.0f};
    // The first target met: the smallest share of the way at its nearest point.
    float first = 1.0f;
    for (const Target& target : targets) {
        const float share = std::clamp(glm::dot(target.centre - start, way) / length2, 0.0f, 1.0f);
        const glm::vec2 nearest = start + way * share;
        const float reach = target.radius + std::max(radius, 0.0f);
        if (glm::length(target.centre - nearest) <= reach)
            first = std::min(first, share);
    }
    const glm::vec2 end = start + way * first;
    return {glm::vec3(end, from.z), seconds * first};
}

float ProjectileLead::delayOf(kit::World& world, kit::EntityID projectile)
{
    if (world.owns(projectile) || !leadsProjectiles())
        return 0.0f;
    const kit::NetworkSystem* network = kit::NetworkSystem::of(&world);
    return network ? network->oneWayDelay(projectile.origin) : 0.0f;
}

std::vector<ProjectileLead::Target> ProjectileLead::ownPlanes(kit::World& world, kit::EntityID owner)
{
    std::vector<Target> targets;
    for (const kit::EntityHandle& plane : world.getEntities(kit::tagId(tags::plane))->toVector()) {
        if (!world.owns(plane.id) || plane.id == owner)
            continue;
        const auto* transform = world.getComponent<kit::Transform>(plane.id);
        const auto* circle = world.getComponent<kit::CircleCollider>(plane.id);
        if (transform && circle)
            targets.push_back({glm::vec2(transform->worldPosition()), circle->radius});
    }
    return targets;
}

void ProjectileLead::arrive(kit::World& world, kit::EntityID projectile, kit::EntityID owner, glm::vec3& position,
                            glm::vec2 velocity, float radius, float& lifespan)
{
    const float delay = delayOf(world, projectile);
    if (!(delay > 0.0f))
        return;
    const ProjectileLead lead = along(position, velocity, delay, radius, ownPlanes(world, owner));
    position = lead.position;
    lifespan = std::max(0.0f, lifespan - lead.seconds);
}

} // namespace skyscuffle
