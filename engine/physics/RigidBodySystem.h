#pragma once

#include "engine/core/Behavior.h"
#include "engine/core/SortedComponentCollection.h"

namespace kit {

// Clears every rigid body's contacts at the start of the physics step, before
// the bodies record this frame's. One per world, on the system entity; rigid
// bodies create it on demand.
class RigidBodySystem : public Behavior {
public:
    RigidBodySystem();

    void initialize() override;
    // Also taken on every arrival, so a system moved to another world follows it.
    void onAdded() override { initialize(); }
    void update(float dt) override;

private:
    ComponentCollection* bodies_ = nullptr;
};

} // namespace kit
