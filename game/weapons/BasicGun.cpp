#include "BasicGun.h"

#include "WeaponSettings.h"

#include "game/input/VirtualGamepad.h"

#include "engine/physics/Body.h"

namespace skyscuffle {

BasicGun::BasicGun(kit::EntityHandle owner, std::string fireSound)
    : ProjectileSpawner("models/quad.obj", weaponSettings::basicGun.velocity, weaponSettings::basicGun.lifespan,
                        weaponSettings::basicGun.radius, weaponSettings::basicGun.period, glm::vec2(-0.65f, 2.0f),
                        owner),
      damage(weaponSettings::basicGun.damage), fireSound(std::move(fireSound))
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
