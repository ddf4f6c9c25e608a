#pragma once

#include "engine/core/Behavior.h"
#include "engine/core/EntityHandle.h"

namespace skyscuffle {

// A plane's shadow on the ground: under the plane, widest and darkest when the
// plane is low, shrinking and fading as it climbs (gone 135 units up).
class ShadowOfObject : public kit::Behavior {
public:
    static constexpr float groundHeight = -52.49f;
    static constexpr float fadeHeight = 135.0f;

    explicit ShadowOfObject(kit::EntityHandle object);

    void update(float dt) override;

    kit::EntityHandle object;
};

} // namespace skyscuffle
