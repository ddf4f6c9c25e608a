#pragma once

#include "engine/core/Behavior.h"
#include "engine/core/EntityHandle.h"

namespace skyscuffle {

// The HUD ring of one plane's health: its model's "value" is the part of the
// ring shown, the plane's health as a fraction of its maximum.
class HealthBar : public kit::Behavior {
public:
    explicit HealthBar(kit::EntityHandle plane);

    void update(float dt) override;

    kit::EntityHandle plane;
    float health = 0.0f; // the plane's, as last seen
};

} // namespace skyscuffle
