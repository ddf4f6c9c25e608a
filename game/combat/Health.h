#pragma once

#include "engine/core/Behavior.h"
#include "engine/core/EntityHandle.h"

#include <string>

namespace skyscuffle {

// A plane's hit points and its condition: healthy, damaged (below half: it
// smokes) or dead (it burns until it respawns). Damage comes from bullets,
// bombs and rams; the copy that owns the plane scores its death. Replicated
// as "health": every copy smokes, burns and hears the death.
class Health : public kit::Behavior {
public:
    enum State : int { healthy = 0, damaged = 1, dead = 2 };

    explicit Health(float maxHealth);

    // Takes `amount` off, unless the plane is dead or invincible.
    void damage(kit::EntityHandle attacker, float amount);
    // Moves to a new condition: the old smoke and fire go, the new condition's
    // come (and a death is heard). Nothing happens when the state is the same.
    void changeState(int newState);
    // Full health and healthy again (a respawn, a health power).
    void restore();

    [[nodiscard]] bool isDead() const { return state == dead; }

    // A plane lies dead this long before it respawns, seconds.
    static constexpr float respawnSeconds = 2.0f;
    // Whether a death of this plane may be scored now: it has been alive
    // since its last scored death, and that was at least a respawn ago (the
    // owner's word that it lives again is its state, which it may send as
    // often as it likes).
    [[nodiscard]] bool mayScoreDeath() const;
    // A death of this plane was scored: it is dead here too, if its state
    // has not said so yet.
    void deathScored();

    void update(float dt) override;

    void serialize(kit::NetStream& stream) override;
    std::string networkTypeName() const override { return "health"; }

    float maxHealth;
    float currentHealth;
    int state = healthy;
    kit::EntityHandle lastAttacker;

private:
    // Thicker, darker smoke as health falls from half to nothing.
    void tuneSmoke();

    float sinceDeathScored_ = respawnSeconds; // seconds
    bool aliveSinceDeathScored_ = true;
};

} // namespace skyscuffle
