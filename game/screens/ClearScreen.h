#pragma once

#include "engine/core/Component.h"

#include <glm/vec3.hpp>

namespace skyscuffle {

// Clears the window to one colour at the start of the render pass. Screens
// that draw nothing else still show a clean frame.
class ClearScreen : public kit::Component {
public:
    explicit ClearScreen(glm::vec3 color);

    void render(float dt) override;

    glm::vec3 color;
};

} // namespace skyscuffle
