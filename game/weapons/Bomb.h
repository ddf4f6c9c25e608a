#pragma once

#include "engine/core/Behavior.h"
#include "engine/core/EntityHandle.h"

#include <glm/vec3.hpp>

namespace skyscuffle {

// A falling bomb: points its nose along its flight, and explodes where it
// first touches a plane (not its own) or the stage's walls and floor.
class Bomb : public kit::Behavior {
public:
    Bomb(float blastRadius, float minDamage, float maxDamage, kit::EntityHandle owner);

    void update(float dt) override;
    // The bomb touched a body: its own plane it leaves without a bang
    // (false); anything else, a plane or the stage, sets it off (true).
    bool onHit(kit::EntityHandle other);
    // Blows the bomb up where it is: a flash, a burst of fire and the blast
    // that damages and pushes the planes around it. The bomb's entity goes.
    void explode();

    float blastRadius;
    float minDamage;
    float maxDamage;
    kit::EntityHandle owner;
};

} // namespace skyscuffle
