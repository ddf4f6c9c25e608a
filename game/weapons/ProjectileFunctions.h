#pragma once

#include "engine/core/EntityHandle.h"
#include "engine/network/NamedFunction.h"

#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include <string>

namespace skyscuffle {

namespace fn {
// Model, texture, owner, lifespan, radius, damage, position, velocity.
inline constexpr kit::NamedFunction<std::string, std::string, kit::EntityID, float, float, float, glm::vec3, glm::vec2>
    spawnBullet{"spawnBullet"};
// Model, owner, minimum damage, maximum damage, blast radius, bomb radius,
// lifespan, position, velocity.
inline constexpr kit::NamedFunction<std::string, kit::EntityID, float, float, float, float, float, glm::vec3, glm::vec2>
    spawnBomb{"spawnBomb"};
} // namespace fn

// "spawnBullet": a bullet under the new id: a textured streak flying with
// its velocity, hitting planes (never its owner). The copy that owns a plane
// it hits takes the damage; every copy shows the impact. Arguments from
// peers are checked: non-finite numbers, an unknown model or an owner that
// is not a plane of the bullet's own copy drop the call; lifespan, radius
// and damage are clamped to sane ranges. A peer's bullets beyond what its
// copy may have alive or fire per second (the world's ProjectileBudget) are
// not made.
void spawnBullet(kit::EntityHandle bullet, const std::string& model, const std::string& texture, kit::EntityID owner,
                 float lifespan, float radius, float damage, glm::vec3 position, glm::vec2 velocity);

// "spawnBomb": a bomb under the new id, falling under gravity, exploding on
// the first plane (not its owner) or wall it touches. Checked like bullets,
// and counted with them against a peer's budget.
void spawnBomb(kit::EntityHandle bomb, const std::string& model, kit::EntityID owner, float minDamage, float maxDamage,
               float blastRadius, float bombRadius, float lifespan, glm::vec3 position, glm::vec2 velocity);

} // namespace skyscuffle
