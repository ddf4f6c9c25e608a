#pragma once

#include "game/powerups/PowerEnum.h"

#include "engine/core/EntityHandle.h"

#include <glm/vec3.hpp>

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
