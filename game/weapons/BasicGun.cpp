#include "BasicGun.h"

#include "game/input/VirtualGamepad.h"

#include "engine/core/SettingsEntry.h"
#include "engine/physics/Body.h"

namespace skyscuffle {

namespace {

struct BasicGunTuning {
    kit::SettingsEntry<float> period{"tuning.basicGun.period", 0.3f};
    kit::SettingsEntry<float> velocity{"tuning.basicGun.bulletVelocity", 100.0f};
    kit::SettingsEntry<float> lifespan{"tuning.basicGun.bulletLifespan", 5.0f};
    kit::SettingsEntry<float> radius{"tuning.basicGun.bulletRadius", 1.0f};
    kit::SettingsEntry<float> damage{"tuning.basicGun.damage", 2.0f};
};

const BasicGunTuning& basicGunTuning()
{
    static const BasicGunTuning values;
    return values;
}

} // namespace

BasicGun::BasicGun(kit::EntityHandle owner, std::string fireSound)
    : ProjectileSpawner("models/quad.obj", basicGunTuning().velocity, basicGunTuning().lifespan,
                        basicGunTuning().radius, basicGunTuning().period, glm::vec2(-0.65f, 2.0f), owner),
      damage(basicGunTuning().damage), fireSound(std::move(fireSound))
{
    addClassTags<BasicGun>("basicGun");
}

void BasicGun::update(float dt)
{
    if (ownerIsDead())
        return;
    // The time passes first and a shot that is due leaves in the same frame:
    // counting down on one frame and firing on the next would stretch every
    // period by a frame. While the button is up the timer waits below 0, so
    // the next press fires at once.
    if (timer >= 0.0f)
        timer -= dt;
    if (timer >= 0.0f)
        return;
    const VirtualGamepad* gamepad = ownerGamepad();
    if (!gamepad || !gamepad->isButtonDown(VirtualGamepad::gun))
        return;
    const auto shot = muzzle(alternateBarrel ? -2.0f : 2.0f);
    const kit::Body* body = ownerBody();
    if (!shot || !body)
        return;
    playSound(fireSound);
    fireBullet(shot->position, body->velocity + shot->direction * projectileSpeed, damage);
    timer += period;
    alternateBarrel = !alternateBarrel;
}

} // namespace skyscuffle
