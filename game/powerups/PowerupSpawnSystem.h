#pragma once

#include "engine/core/Behavior.h"

#include <glm/vec2.hpp>

namespace skyscuffle {

// Puts pick-ups in the sky at random places and random intervals, more
// often with more players; never in or against a solid part of the arena. Only the hosting copy runs one; every copy
// builds the pick-ups it asks for ("spawnPowerup").
class PowerupSpawnSystem : public kit::Behavior {
public:
    PowerupSpawnSystem(glm::vec2 centre, glm::vec2 size, float players);

    void update(float dt) override;

    glm::vec2 centre;
    glm::vec2 size;
    float countdown = 0.0f; // seconds to the next pick-up
    float players;

    // Seconds to the next pick-up: uniform between the tuning's interval
    // bounds, divided by the number of players.
    [[nodiscard]] float nextInterval() const;
};

} // namespace skyscuffle
