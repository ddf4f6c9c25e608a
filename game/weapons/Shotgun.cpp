#include "Shotgun.h"

#include "WeaponSettings.h"

#include "game/input/VirtualGamepad.h"
#include "game/weapons/Ammunition.h"

#include "engine/core/World.h"
#include "engine/physics/Body.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace skyscuffle {

Shotgun::Shotgun(kit::EntityHandle owner, kit::TagId supply)
    : ProjectileSpawner("models/quad.obj", weaponSettings::shotgun.gun.velocity, weaponSettings::shotgun.gun.lifespan,
                        weaponSettings::shotgun.gun.radius, weaponSettings::shotgun.gun.period, glm::vec2(0.2f, 2.0f),
                        owner),
      spread(weaponSettings::shotgun.spread * std::numbers::pi_v<float> / 180.0f),
      pelletsPerShot(std::clamp(weaponSettings::shotgun.pellets.value(), 1, 100)),
      totalDamage(weaponSettings::shotgun.gun.damage)
{
    this->supply = supply;
    addClassTags<Shotgun>("shotgun");
}

void Shotgun::update(float dt)
{
    const VirtualGamepad* gamepad = ownerGamepad();
    Ammunition* power = ammunition();
    if (timer < 0.0f && gamepad && gamepad->isButtonDown(VirtualGamepad::special) && !ownerIsDead() && power &&
        power->shotsLeft >= 1) {
        const auto shot = muzzle();
        const kit::Body* body = ownerBody();
        if (shot && body) {
            playSound("shotgunFire");
            const glm::vec3 base = shot->direction * projectileSpeed;
            const float pelletDamage = totalDamage / static_cast<float>(pelletsPerShot);
            for (int i = 0; i < pelletsPerShot; ++i) {
                const float f =
                    pelletsPerShot > 1 ? static_cast<float>(i) / static_cast<float>(pelletsPerShot - 1) : 0.0f;
                const float a = f == 0.0f ? 0.0f : -spread * 0.5f + spread * f;
                // Turned counter-clockwise (as the camera sees it) in the play plane.
                const glm::vec3 pellet(base.x * std::cos(a) - base.y * std::sin(a),
                                       base.x * std::sin(a) + base.y * std::cos(a), base.z);
                fireBullet(shot->position, pellet + body->velocity, pelletDamage);
            }
            --power->shotsLeft;
            timer += period;
        }
    }
    if (timer >= 0.0f)
        timer -= dt;
}

} // namespace skyscuffle
