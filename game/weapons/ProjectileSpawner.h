#pragma once

#include "engine/core/Behavior.h"
#include "engine/core/EntityHandle.h"
#include "engine/core/Tags.h"

#include <glm/gtc/quaternion.hpp>
#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include <optional>
#include <string>

namespace kit {
class Body;
class NetworkSystem;
} // namespace kit

namespace skyscuffle {

class Ammunition;
class VirtualGamepad;
// A weapon on a plane (its entity's Transform is parented to the plane).
// It never builds projectiles itself: it calls "spawnBullet" or "spawnBomb",
// which every copy runs. Only the copy that drives the plane (the one with
// its gamepad) fires; the others see the shots arrive.
class ProjectileSpawner : public kit::Behavior {
public:
    ProjectileSpawner(std::string projectileModel, float projectileSpeed, float projectileLifespan,
                      float projectileRadius, float period, glm::vec2 muzzleOffset, kit::EntityHandle owner);

    std::string projectileModel;
    float projectileSpeed;    // units per second along the muzzle
    float projectileLifespan; // seconds
    float projectileRadius;
    float period;             // seconds between shots
    float timer = 0.0f;       // a shot is due while below 0
    glm::vec2 muzzleOffset;   // (y, z) in the weapon's frame
    kit::EntityHandle owner;  // the plane
    // The tag of the plane's component that keeps this weapon's shots (its
    // power); 0 for a weapon that never runs out.
    kit::TagId supply = 0;

protected:
    struct Muzzle {
        glm::vec3 position;
        glm::vec3 direction; // unit, along the weapon's nose
        glm::quat rotation;  // the weapon's world rotation
    };
    // Where a shot leaves, with x the sideways offset (only the basic gun's
    // two barrels use it). Empty without the weapon's Transform.
    [[nodiscard]] std::optional<Muzzle> muzzle(float x = 0.0f) const;
    // The owner's gamepad: null on copies that do not drive the plane.
    [[nodiscard]] const VirtualGamepad* ownerGamepad() const;
    [[nodiscard]] const kit::Body* ownerBody() const;
    [[nodiscard]] bool ownerIsDead() const;
    [[nodiscard]] kit::NetworkSystem* network() const;
    // The shots left, kept on the plane under `supply`; null once it is gone.
    [[nodiscard]] Ammunition* ammunition() const;
    void playSound(const std::string& name) const;
    // One bullet from this weapon, everywhere.
    void fireBullet(glm::vec3 position, glm::vec3 velocity, float damage) const;
};

} // namespace skyscuffle
