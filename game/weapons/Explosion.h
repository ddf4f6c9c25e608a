#pragma once

#include "engine/core/Behavior.h"
#include "engine/core/EntityHandle.h"

namespace skyscuffle {

// A bomb's blast: heard when it appears; on its first update it damages and
// pushes every plane within reach (the bomb's owner too), more the closer
// to the blast, then it is gone. Each copy damages only its own planes.
class Explosion : public kit::Behavior {
public:
    Explosion(float blastRadius, float minDamage, float maxDamage, kit::EntityHandle owner);

    void initialize() override;
    void update(float dt) override;

    // The damage at a distance from the blast (beyond the victim's collider).
    [[nodiscard]] float damageAt(float distance) const;

    float blastRadius;
    float minDamage;
    float maxDamage;
    kit::EntityHandle owner;
};

} // namespace skyscuffle
