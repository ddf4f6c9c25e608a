#pragma once

#include "engine/core/Behavior.h"

#include <glm/gtc/quaternion.hpp>
#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

namespace skyscuffle {

// Brings a dead plane back: the wreck falls for the respawn delay with its
// flight switched off and its power-up gone, then the plane starts again at
// the spawn point with full health, invincible for a while. Only the copy
// that owns the plane does this; the others follow its replicated state.
// In a match of rounds the wreck stays down (`respawns` off) until the next
// round places the plane again.
class PlayerSpawnComp : public kit::Behavior {
public:
    PlayerSpawnComp(glm::vec2 spawnPosition, float spawnAngle, float respawnDelay);

    void update(float dt) override;

    // Starts the plane again now at `position`, turned by `rotation`, dead
    // or not: full health, invincible for a while, flight back on.
    void respawnAt(glm::vec3 position, glm::quat rotation);

    glm::vec2 spawnPosition;
    float spawnAngle;   // degrees about Z; 0 faces +X
    float respawnDelay; // seconds
    float countdown = 0.0f;
    bool respawns = true;

private:
    void respawn();

    bool down_ = false; // dead, its fall over, and no respawn comes
};

} // namespace skyscuffle
