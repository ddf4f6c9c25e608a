#include "BombSpawner.h"

#include "game/GameFunctions.h"
#include "game/VirtualGamepad.h"
#include "game/powerups/BombPower.h"

#include "engine/core/SettingsEntry.h"
#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"
#include "engine/physics/Body.h"
#include "engine/render/Model.h"

namespace {

struct Tuning {
    kit::SettingsEntry<float> period{"tuning.bombSpawner.period", 1.0f};
    kit::SettingsEntry<float> bombVelocity{"tuning.bombSpawner.bombVelocity", 0.0f};
    kit::SettingsEntry<float> bombLifespan{"tuning.bombSpawner.bombLifespan", 15.0f};
    kit::SettingsEntry<float> bombRadius{"tuning.bombSpawner.bombRadius", 2.0f};
    kit::SettingsEntry<float> minDamage{"tuning.bombSpawner.minDamage", 0.0f};
    kit::SettingsEntry<float> maxDamage{"tuning.bombSpawner.maxDamage", 20.0f};
    kit::SettingsEntry<float> blastRadius{"tuning.bombSpawner.blastRadius", 10.0f};
    kit::SettingsEntry<float> velocity{"tuning.bombSpawner.velocity", 4.0f}; // read with the others; unused
};

const Tuning& tuning()
{
    static const Tuning values;
    return values;
}

} // namespace

BombSpawner::BombSpawner(kit::EntityHandle owner)
    : ProjectileSpawner("models/smallBomb/smallBomb.obj", tuning().bombVelocity, tuning().bombLifespan,
                        tuning().bombRadius, tuning().period, glm::vec2(0.0f), owner)
{
    addClassTags<BombSpawner>("bombSpawner");
}

void BombSpawner::update(float dt)
{
    const Tuning& t = tuning();
    // As the basic gun: the time passes first, a drop that is due happens now.
    if (timer >= 0.0f)
        timer -= dt;
    if (timer >= 0.0f)
        return;
    auto* hanging = world->getComponent<kit::Model>(entityId);
    const VirtualGamepad* gamepad = ownerGamepad();
    if (!gamepad || !gamepad->isButtonDown(2) || ownerIsDead()) {
        if (hanging)
            hanging->enabled = true; // the next bomb is ready under the plane
        return;
    }
    auto* power = world->getComponent<BombPower>(owner.id);
    const auto drop = muzzle();
    const kit::Body* body = ownerBody();
    kit::NetworkSystem* n = network();
    if (!power || power->shotsLeft < 1 || !drop || !body || !n)
        return;
    if (hanging)
        hanging->enabled = false;
    const glm::vec3 down = drop->rotation * glm::vec3(0.0f, -1.0f, 0.0f);
    const glm::vec3 velocity = body->velocity + down * projectileSpeed;
    n->callFunction(fn::spawnBomb, world->createEntity(), projectileModel, owner.id, t.minDamage, t.maxDamage,
                    t.blastRadius, projectileRadius, projectileLifespan, drop->position, glm::vec2(velocity));
    playSound("bombDrop");
    --power->shotsLeft;
    timer += period;
}
