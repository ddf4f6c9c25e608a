#include "GatlingGun.h"

#include "game/weapons/Ammunition.h"

#include "engine/core/SettingsEntry.h"
#include "engine/core/World.h"
#include "engine/physics/Body.h"

namespace skyscuffle {

namespace {

struct GatlingTuning {
    kit::SettingsEntry<float> period{"tuning.gatlingGun.period", 0.1f};
    kit::SettingsEntry<float> velocity{"tuning.gatlingGun.bulletVelocity", 100.0f};
    kit::SettingsEntry<float> lifespan{"tuning.gatlingGun.bulletLifespan", 5.0f};
    kit::SettingsEntry<float> radius{"tuning.gatlingGun.bulletRadius", 0.25f};
    kit::SettingsEntry<float> damage{"tuning.gatlingGun.damage", 2.0f};
};

const GatlingTuning& gatlingTuning()
{
    static const GatlingTuning values;
    return values;
}

} // namespace

GatlingGun::GatlingGun(kit::EntityHandle owner, kit::TagId supply)
    : ProjectileSpawner("models/quad.obj", gatlingTuning().velocity, gatlingTuning().lifespan, gatlingTuning().radius,
                        std::max(gatlingTuning().period.value, 0.01f), glm::vec2(-1.0f, 2.0f), owner),
      damage(gatlingTuning().damage)
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
