#pragma once

#include "engine/core/Behavior.h"

namespace skyscuffle {

// Lets a player find their plane: while gamepad button 7 is held, a ring
// grows around the plane and fades, once per ring's life.
class PlayerPingSpawner : public kit::Behavior {
public:
    PlayerPingSpawner();

    void update(float dt) override;

    float countdown = 0.0f; // seconds until the next ring may start; one may while below 0
};

} // namespace skyscuffle
