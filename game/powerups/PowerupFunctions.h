#pragma once

#include "game/powerups/PowerEnum.h"

#include "engine/core/EntityHandle.h"
#include "engine/network/NamedFunction.h"

#include <glm/vec3.hpp>

namespace skyscuffle {

namespace fn {
// Position, kind: a pick-up item under the new id. The hosting copy spawns them.
inline constexpr kit::NamedFunction<glm::vec3, PowerEnum> spawnPowerup{"spawnPowerup", kit::Caller::host};
// Position of the pick-up, kind: the plane receives the power.
inline constexpr kit::NamedFunction<glm::vec3, PowerEnum> grantPower{"grantPower"};
inline constexpr kit::NamedFunction<> grantInvincibility{"grantInvincibility"};
// The new bomb spawner's id (the caller makes it; the plane is the entity).
inline constexpr kit::NamedFunction<kit::EntityID> spawnBombSpawner{"spawnBombSpawner"};
} // namespace fn

// "spawnPowerup": a pick-up under the new id: a 12 x 12 picture of its kind,
// taken by the first plane (alive) that touches it on that plane's own copy.
// A wild pick-up (kind 0) hides one of the other kinds, drawn now.
void spawnPowerup(kit::EntityHandle item, glm::vec3 position, PowerEnum kind);
// "grantPower": the plane receives the power of a kind (1 to 5), with the
// pick-up sound and a burst of the kind's colour where the pick-up was.
void grantPower(kit::EntityHandle plane, glm::vec3 position, PowerEnum kind);
// "grantInvincibility": the plane is shielded (and blinks) for a while.
void grantInvincibility(kit::EntityHandle plane);
// "spawnBombSpawner": the bomb rack under the plane, under the id its
// plane's copy made for it.
void spawnBombSpawner(kit::EntityHandle plane, kit::EntityID rack);

} // namespace skyscuffle
