#pragma once

#include "engine/core/Behavior.h"

#include <glm/vec2.hpp>

#include <optional>
#include <string>

namespace skyscuffle {

// Moves the game camera's target so that everything labelled with the focus
// label (planes, pick-ups), each led a little along its velocity, fits the
// view. The camera itself follows the target on a spring. The entity's
// Transform scale carries the view's aspect (x / y), kept by its AspectMatcher.
// Within an arena, what the camera looks for stays inside its open space: a
// plane's lead past a wall or an obstacle's edge does not pull the view out.
class SideviewCameraBehavior : public kit::Behavior {
public:
    explicit SideviewCameraBehavior(std::string focusLabel);

    void update(float dt) override;

    std::string focusLabel;
    struct Area {
        glm::vec2 low, high;
    };
    std::optional<Area> within; // the arena's open space, world units
};

} // namespace skyscuffle
