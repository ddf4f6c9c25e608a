#include "GatlingGun.h"

#include "WeaponSettings.h"

#include "game/weapons/Ammunition.h"

#include "engine/core/World.h"
#include "engine/physics/Body.h"

namespace skyscuffle {

GatlingGun::GatlingGun(kit::EntityHandle owner, kit::TagId supply)
    : ProjectileSpawner("models/quad.obj", weaponSettings::gatlingGun.velocity, weaponSettings::gatlingGun.lifespan,
                        weaponSettings::gatlingGun.radius, std::max(weaponSettings::gatlingGun.period.value(), 0.01f),
                        glm::vec2(-1.0f, 2.0f), owner),
      damage(weaponSettings::gatlingGun.damage)
{
    this->supply = supply;
    addClassTags<GatlingGun>("gatlingGun");
}

void GatlingGun::update(float dt)
{
    if (timer >= 0.0f)
        timer -= dt;
    if (!ownerGamepad() || ownerIsDead())
        return;
    Ammunition* power = ammunition();
    const kit::Body* body = ownerBody();
    const auto shot = muzzle();
    while (timer <= 0.0f) {
        if (!power || power->shotsLeft < 1 || !body || !shot) {
            timer = 0.0f; // out of bullets: nothing is banked for later
            return;
        }
        const glm::vec3 velocity = body->velocity + shot->direction * projectileSpeed;
        // Fired |timer| seconds ago, part way through this frame.
        fireBullet(shot->position + velocity * -timer, velocity, damage);
        --power->shotsLeft;
        timer += period;
    }
}

} // namespace skyscuffle
