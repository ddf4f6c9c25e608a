#pragma once

#include "engine/core/Behavior.h"

#include <string>

namespace skyscuffle {

// Moves the game camera's target so that everything labelled with the focus
// label (planes, pick-ups), each led a little along its velocity, fits the
// view. The camera itself follows the target on a spring. The entity's
// Transform scale carries the view's aspect (x / y), kept by its AspectMatcher.
class SideviewCameraBehavior : public kit::Behavior {
public:
    explicit SideviewCameraBehavior(std::string focusLabel);

    void update(float dt) override;

    std::string focusLabel;
};

} // namespace skyscuffle
