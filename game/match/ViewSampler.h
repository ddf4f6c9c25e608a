#pragma once

#include "engine/core/Behavior.h"

namespace skyscuffle {

// Writes, at the end of each frame's updates, where this copy shows every
// plane into the view log (viewLog::plane). In a match world only while the
// log is open.
class ViewSampler : public kit::Behavior {
public:
    ViewSampler();
    void update(float dt) override;
};

} // namespace skyscuffle
