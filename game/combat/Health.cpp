#include "Health.h"

#include "game/combat/MatchEvents.h"
#include "game/combat/ScoreFunctions.h"
#include "game/common/Tags.h"
#include "game/effects/FireParticleEmitter.h"
#include "game/effects/SmokeParticleEmitter.h"
#include "game/sound/SoundManager.h"

#include "game/players/Sides.h"

#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"
#include "engine/network/stream/CompactState.h"

#include <algorithm>
#include <cmath>

namespace skyscuffle {

Health::Health(float maxHealth) : maxHealth(maxHealth), currentHealth(maxHealth)
{
    addClassTags<Health>("health");
}

void Health::damage(kit::EntityHandle attacker, float amount)
{
    if (state == dead || world->entityHasTag(entityId, kit::tagId(tags::invincibilityPower)))
        return;
    // A team match's friends do not hurt each other, unless its rules say so.
    const TeamPlay* teams = world->single<TeamPlay>();
    if (teams && !teams->friendlyFire && attacker.id != entityId && friends(*world, entityId, attacker.id))
        return;
    currentHealth -= amount;
    lastAttacker = attacker;
    MatchEvents::damaged()(getEntity(), attacker, amount);
    if (currentHealth <= 0.0f) {
        changeState(dead);
        // The plane's own copy scores the death, everywhere; the others only show it.
        if (!world->owns(entityId))
            return;
        if (auto* network = kit::NetworkSystem::of(world)) {
            if (attacker.id != entityId && attacker.id != kit::EntityID{})
                network->callFunction(fn::addKillPoints, attacker.id);
            network->callFunction(fn::addDeathPoints, getEntity());
        }
    } else if (currentHealth < maxHealth * 0.5f && state == healthy) {
        changeState(damaged);
    } else if (state == damaged) {
        tuneSmoke();
    }
}

void Health::update(float dt)
{
    sinceDeathScored_ = std::min(sinceDeathScored_ + dt, respawnSeconds);
}

bool Health::mayScoreDeath() const
{
    return aliveSinceDeathScored_ && sinceDeathScored_ >= respawnSeconds;
}

void Health::deathScored()
{
    aliveSinceDeathScored_ = false;
    sinceDeathScored_ = 0.0f;
    changeState(dead);
}

void Health::restore()
{
    currentHealth = maxHealth;
    changeState(healthy);
}

void Health::changeState(int newState)
{
    if (newState == state || newState < healthy || newState > dead)
        return;
    aliveSinceDeathScored_ = aliveSinceDeathScored_ || state == dead;
    state = newState;
    world->destroyComponents(entityId, kit::typeId<SmokeParticleEmitter>());
    world->destroyComponents(entityId, kit::typeId<FireParticleEmitter>());
    if (state == damaged) {
        world->addComponent(getEntity(), new SmokeParticleEmitter);
        tuneSmoke(); // from the first hit on, not only from the second
    } else if (state == dead) {
        world->addComponent(getEntity(), new SmokeParticleEmitter);
        world->addComponent(getEntity(), new FireParticleEmitter);
        if (SoundManager* sounds = SoundManager::of(world))
            sounds->play("death");
    }
}

void Health::tuneSmoke()
{
    auto* smoke = world->getComponent<SmokeParticleEmitter>(entityId);
    if (!smoke || maxHealth <= 0.0f)
        return;
    // 0 at half health, 1 at none. A value out of range (a peer's record may
    // say anything) smokes no thicker than none would: the rate stays bounded.
    const float x = std::min(std::abs(currentHealth / (maxHealth * 0.5f) - 1.0f), 1.0f);
    smoke->interval = 1.0f / (9.0f * x + 1.0f);
    smoke->tintLevel = std::clamp(1.0f - 0.7f * x, 0.0f, 1.0f);
    smoke->startOpacity = std::clamp(x, 0.0f, 1.0f);
}

namespace {

// How health travels packed: in 1/256ths, and its state.
const kit::compactState::Registration packedHealth{
    4, {"health", {kit::compactState::Field::real(256.0f, 16), kit::compactState::Field::signedInt()}}};

} // namespace

void Health::serialize(kit::NetStream& stream)
{
    if (stream.writing) {
        stream.serialize(currentHealth);
        std::int32_t s = state;
        stream.serialize(s);
        return;
    }
    // A broken record (short, not a number, a health beyond the maximum or
    // far below nothing, a state that does not exist) changes nothing.
    constexpr float lowest = -1000.0f;
    if (stream.bitsLeft() < 64)
        return;
    float health = currentHealth;
    std::int32_t s = state;
    stream.serialize(health);
    stream.serialize(s);
    if (!std::isfinite(health) || health < lowest || health > maxHealth || s < healthy || s > dead)
        return;
    currentHealth = health;
    if (world)
        changeState(s);
    else
        state = s;
    if (world && state == damaged)
        tuneSmoke();
}

} // namespace skyscuffle
