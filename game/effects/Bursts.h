#pragma once

#include <glm/vec3.hpp>

namespace kit {
class World;
}

namespace skyscuffle {

// Bursts: a fixed number of particles at once, flying out from a point and
// shrinking to nothing over their life, at full opacity (under calmer
// flashes at half, fading in and out). Each returns how many it spawned:
// fewer (and larger) than its tuning asks for when the world's
// ParticleBudget runs short.

// A bomb's blast: white.
int explosionBurst(kit::World& world, glm::vec3 position);
// A pick-up taken: in the power's colour.
int powerPickupBurst(kit::World& world, glm::vec3 position, glm::vec3 tint);
// A plane healed: at the plane.
int healthBurst(kit::World& world, glm::vec3 position);
// A hit or a ram: sprays mostly along `direction` (a unit vector, or zero for
// all round), in the victim's colour.
int impactBurst(kit::World& world, glm::vec3 position, glm::vec3 direction, glm::vec3 tint);

} // namespace skyscuffle
