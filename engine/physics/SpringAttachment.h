#pragma once

#include "engine/core/Behavior.h"
#include "engine/core/EntityHandle.h"

namespace kit {

// A damped spring pulling its entity's Body toward the target entity's
// position. Every frame it adds the velocity change of a fixed 1/60 s step,
// whatever the frame's own length.
class SpringAttachment : public Behavior {
public:
    SpringAttachment(EntityHandle target, float stiffness, float damping);

    void update(float dt) override;

    float stiffness;
    float damping;
    EntityHandle target;
};

} // namespace kit
