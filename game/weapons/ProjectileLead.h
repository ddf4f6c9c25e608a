#pragma once

#include "engine/core/EntityID.h"

#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include <vector>

namespace kit {
class World;
}

namespace skyscuffle {

// A peer's projectile appears on this copy where it is by now on its
// owner's copy: its spawn position carried along its velocity by the link's
// one-way delay, never further than maxLead. The copy that owns a plane
// judges the hits on it; with the projectile where its shooter has it, that
// copy judges them against what the shooter saw, up to the bound. Beyond the
// bound, and where the two copies' views still differ, the plane's copy has
// the last word.
struct ProjectileLead {
    // The longest a projectile is carried forward, seconds.
    static constexpr float maxLead = 0.15f;

    // Something the projectile could meet on its way: a circle in the play plane.
    struct Target {
        glm::vec2 centre{0.0f};
        float radius = 0.0f;
    };

    glm::vec3 position{0.0f};
    float seconds = 0.0f; // how far it was carried, seconds of flight

    // From `from` at `velocity` for `delay` seconds (bounded to [0, maxLead];
    // not a number: 0). The first target whose circle, widened by the
    // projectile's radius, the way crosses stops it at the point of the way
    // nearest that target's centre, so that the hit is judged there rather
    // than skipped.
    static ProjectileLead along(glm::vec3 from, glm::vec2 velocity, float delay, float radius,
                                const std::vector<Target>& targets);
    // The delay of the projectile `projectile` in `world`: 0 for this copy's
    // own and while carrying projectiles forward is off
    // (tuning.network.projectileLead 0); else the one-way delay from its copy.
    static float delayOf(kit::World& world, kit::EntityID projectile);
    // This copy's own planes but `owner`, as targets.
    static std::vector<Target> ownPlanes(kit::World& world, kit::EntityID owner);
    // Where the projectile `projectile` of `owner`'s, fired at `position`,
    // starts here: a peer's carried along (above) by its delay, stopping at
    // one of this copy's planes on the way, its `lifespan` shorter by as
    // much; this copy's own where it was fired.
    static void arrive(kit::World& world, kit::EntityID projectile, kit::EntityID owner, glm::vec3& position,
                       glm::vec2 velocity, float radius, float& lifespan);
};

} // namespace skyscuffle
