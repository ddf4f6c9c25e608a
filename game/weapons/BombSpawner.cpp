#include "BombSpawner.h"

#include "WeaponSettings.h"

#include "game/weapons/Bomb.h"

#include "game/input/VirtualGamepad.h"
#include "game/weapons/Ammunition.h"
#include "game/weapons/ProjectileFunctions.h"

#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"
#include "engine/physics/Body.h"
#include "engine/render/Model.h"

#include <algorithm>

namespace skyscuffle {

BombSpawner::BombSpawner(kit::EntityHandle owner, kit::TagId supply)
    : ProjectileSpawner("models/smallBomb/smallBomb.obj", weaponSettings::bombs.bombVelocity,
                        weaponSettings::bombs.bombLifespan, weaponSettings::bombs.bombRadius,
                        weaponSettings::bombs.period, glm::vec2(0.0f), owner)
{
    this->supply = supply;
    addClassTags<BombSpawner>("bombSpawner");
    // After the plane's own behaviours (its shield's blink among them) and
    // before physics: the rack has the last word on whether its bomb shows.
    setUpdatePriority(0.5f);
}

void BombSpawner::initialize()
{
    bombs_ = world->onComponentAdded(kit::typeId<Bomb>(), [this](kit::Component* added) {
        if (static_cast<const Bomb*>(added)->owner.id == owner.id)
            reload();
    });
}

void BombSpawner::reload()
{
    // Loaded, the timer waits just below 0 (it only runs down while at or
    // above 0), so adding the period keeps the plane's own drops exactly a
    // period apart. A bomb that arrives before this copy's period is over
    // (the drops' delays differ) starts the period again from now.
    timer = std::min(timer, 0.0f) + period;
    // On the dropping copy the drop comes after its frame's countdown; a drop
    // that arrives before this frame's countdown (another copy's, with the
    // frame's calls) starts counting on the next frame too.
    countFromNextFrame_ = !dropping_;
    showHanging();
}

void BombSpawner::update(float dt)
{
    const weaponSettings::Bombs& t = weaponSettings::bombs;
    // As the basic gun: the time passes first, a drop that is due happens now.
    if (timer >= 0.0f && !countFromNextFrame_)
        timer -= dt;
    countFromNextFrame_ = false;
    const VirtualGamepad* gamepad = ownerGamepad();
    Ammunition* power = ammunition();
    const auto drop = muzzle();
    const kit::Body* body = ownerBody();
    kit::NetworkSystem* n = network();
    if (loaded() && gamepad && gamepad->isButtonDown(VirtualGamepad::special) && !ownerIsDead() && power &&
        power->shotsLeft >= 1 && drop && body && n) {
        const glm::vec3 down = drop->rotation * glm::vec3(0.0f, -1.0f, 0.0f);
        const glm::vec3 velocity = body->velocity + down * projectileSpeed;
        // The bomb appears here at once, and its arrival reloads the rack.
        dropping_ = true;
        n->callFunction(fn::spawnBomb, world->createEntity(), projectileModel, owner.id, t.minDamage, t.maxDamage,
                        t.blastRadius, projectileRadius, projectileLifespan, drop->position, glm::vec2(velocity));
        dropping_ = false;
        playSound("bombDrop");
        --power->shotsLeft;
        if (loaded())
            timer += period; // refused as a bomb: the rate holds all the same
    }
    showHanging();
}

void BombSpawner::showHanging()
{
    auto* hanging = world->getComponent<kit::Model>(entityId);
    if (!hanging)
        return;
    // Blinks with its plane while a shield blinks the plane.
    const auto* plane = world->getComponent<kit::Model>(owner.id);
    hanging->enabled = loaded() && (!plane || plane->enabled);
}

} // namespace skyscuffle
