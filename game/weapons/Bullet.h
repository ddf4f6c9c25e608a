#pragma once

#include "engine/core/Component.h"
#include "engine/core/EntityHandle.h"

namespace skyscuffle {

// What a bullet does when it hits: its damage, and whose it is (a bullet
// never hits its own plane; the owner is the attacker of what it hits).
class Bullet : public kit::Component {
public:
    Bullet(float damage, kit::EntityHandle owner);

    // The bullet touched a plane. Its own plane it passes through (false).
    // Any other: the copy that owns that plane takes the damage, every copy
    // shows the impact (a burst in the plane's colour, the sound) and the
    // bullet goes (true).
    bool onHit(kit::EntityHandle plane);

    float damage;
    kit::EntityHandle owner;
};

} // namespace skyscuffle
