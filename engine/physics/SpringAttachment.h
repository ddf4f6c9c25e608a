#pragma once

#include "engine/core/Behavior.h"
#include "engine/core/EntityHandle.h"

namespace kit {

// A damped spring pulling its entity's Body toward the target entity's
// position. It steps with a fixed 1/60 s, so its pull does not depend on the
// frame rate.
class SpringAttachment : public Behavior {
public:
    SpringAttachment(EntityHandle target, float stiffness, float damping);

    void update(float dt) override;

    float stiffness;
    float damping;
    EntityHandle target;
};

} // namespace kit
