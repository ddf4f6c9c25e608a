#include "HitClaim.h"

#include "WeaponSettings.h"

#include "game/weapons/Bullet.h"
#include "game/weapons/ProjectileLead.h"

#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"
#include "engine/physics/Body.h"
#include "engine/physics/CircleCollider.h"
#include "engine/physics/Transform.h"

#include <glm/geometric.hpp>

#include <algorithm>
#include <cmath>

namespace skyscuffle {

bool HitClaim::met(glm::vec2 bullet, glm::vec2 velocity, float now, const std::deque<Place>& places, float rewind,
                   float reach)
{
    for (const Place& place : places) {
        const float ago = now - place.time;
        if (!(ago >= 0.0f && ago <= rewind))
            continue;
        if (glm::length(bullet - velocity * ago - place.position) <= reach)
            return true;
    }
    return false;
}

RecentPlaces::RecentPlaces()
{
    addClassTags<RecentPlaces>("recentPlaces");
    // After the bodies, the glide and the collisions: where the frame left the plane.
    setUpdatePriority(998.0f);
}

void RecentPlaces::update(float dt)
{
    if (std::isfinite(dt) && dt > 0.0f)
        clock_ += dt;
    const auto* transform = world ? world->getComponent<kit::Transform>(entityId) : nullptr;
    if (!transform)
        return;
    places_.push_back({clock_, glm::vec2(transform->worldPosition())});
    while (!places_.empty() && clock_ - places_.front().time > keepSeconds)
        places_.pop_front();
}

bool leadsProjectiles()
{
    return weaponSettings::projectileLead.value() != 0;
}

void claimHit(kit::EntityHandle bullet, kit::EntityID plane)
{
    kit::World* world = bullet.world;
    // Only the plane's own copy judges, and only a peer's claim.
    if (!world || !world->owns(plane) || world->owns(bullet.id) || !leadsProjectiles())
        return;
    auto* shot = world->getComponent<Bullet>(bullet.id);
    const auto* at = world->getComponent<kit::Transform>(bullet.id);
    const auto* flight = world->getComponent<kit::Body>(bullet.id);
    const auto* places = world->getComponent<RecentPlaces>(plane);
    const auto* circle = world->getComponent<kit::CircleCollider>(plane);
    // Gone here already (it hit, or ran out), or not about a plane.
    if (!shot || !at || !flight || !places || !circle || shot->owner.id == plane)
        return;
    const kit::NetworkSystem* network = kit::NetworkSystem::of(world);
    const float delay = network ? network->oneWayDelay(bullet.id.origin) : 0.0f;
    // A frame more than the link: the shooter saw the hit at the end of one.
    const float rewind = std::clamp(delay + 1.0f / 30.0f, 0.0f, HitClaim::rewindSeconds);
    const float reach = circle->radius + at->scale.y * 0.5f + HitClaim::tolerance;
    if (HitClaim::met(glm::vec2(at->position), glm::vec2(flight->velocity), places->clock(), places->places(), rewind,
                      reach))
        shot->onHit(kit::EntityHandle{plane, world});
}

} // namespace skyscuffle
