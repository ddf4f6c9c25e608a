#include "Bullet.h"

#include "game/combat/Health.h"
#include "game/common/ViewLog.h"
#include "game/effects/Bursts.h"
#include "game/players/PlayerInfo.h"
#include "game/sound/SoundManager.h"
#include "game/weapons/HitClaim.h"

#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"
#include "engine/physics/Body.h"
#include "engine/physics/Transform.h"

#include <glm/geometric.hpp>

namespace skyscuffle {

Bullet::Bullet(float damage, kit::EntityHandle owner) : damage(damage), owner(owner)
{
    addClassTags<Bullet>("bullet");
}

bool Bullet::onHit(kit::EntityHandle plane)
{
    kit::World& w = *world;
    if (plane.id == owner.id)
        return false; // its own plane
    if (w.owns(plane.id)) {
        if (auto* health = w.getComponent<Health>(plane.id))
            health->damage(owner, damage);
        if (!w.owns(entityId))
            viewLog::counted(entityId, plane.id);
    } else if (w.owns(entityId)) {
        // A hit this copy saw on a peer's plane: that copy judges it, as seen here.
        viewLog::seen(entityId, plane.id);
        if (kit::NetworkSystem* network = kit::NetworkSystem::of(&w); network && leadsProjectiles())
            network->callFunction(fn::claimHit, entityId, plane.id);
    }
    const auto* at = w.getComponent<kit::Transform>(entityId);
    const auto* flight = w.getComponent<kit::Body>(entityId);
    const auto* info = w.getComponent<PlayerInfo>(plane.id);
    if (at && flight) {
        const float speed = glm::length(flight->velocity);
        impactBurst(w, at->position, speed > 1e-6f ? -flight->velocity / speed : glm::vec3(0.0f),
                    info ? info->colour : glm::vec3(1.0f));
    }
    if (SoundManager* sounds = SoundManager::of(&w))
        sounds->play("impact");
    w.destroyEntityNow(getEntity());
    return true;
}

} // namespace skyscuffle
