#pragma once

#include "engine/core/Behavior.h"

#include <glm/vec2.hpp>

namespace skyscuffle {

// Brings a dead plane back: the wreck falls for the respawn delay with its
// flight switched off and its power-up gone, then the plane starts again at
// the spawn point with full health, invincible for a while. Only the copy
// that owns the plane does this; the others follow its replicated state.
class PlayerSpawnComp : public kit::Behavior {
public:
    PlayerSpawnComp(glm::vec2 spawnPosition, float spawnAngle, float respawnDelay);

    void update(float dt) override;

    glm::vec2 spawnPosition;
    float spawnAngle;   // degrees about Z; 0 faces +X
    float respawnDelay; // seconds
    float countdown = 0.0f;

private:
    void respawn();
};

} // namespace skyscuffle
