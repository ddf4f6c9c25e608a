#pragma once

#include "engine/core/Component.h"
#include "engine/core/EntityHandle.h"

// What a bullet does when it hits: its damage, and whose it is (a bullet
// never hits its own plane; the owner is the attacker of what it hits).
class Bullet : public kit::Component {
public:
    Bullet(float damage, kit::EntityHandle owner);

    float damage;
    kit::EntityHandle owner;
};
