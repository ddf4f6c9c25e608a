#pragma once

#include "engine/core/Component.h"

#include <glm/mat4x4.hpp>

namespace kit {

// A camera's projection; its placement is the entity's Transform, and the
// renderer whose space tags the entity carries looks through it.
class Camera : public Component {
public:
    explicit Camera(const glm::mat4& projection);

    glm::mat4 projection;
};

// The projections the screens use. They are square: the window's shape is
// handled by an AspectMatcher on the camera entity.
glm::mat4 sceneProjection();   // perspective, 70 degrees vertically, aspect 1, near 0.1, far 1000
glm::mat4 overlayProjection(); // orthographic, -1 to 1 on both axes

} // namespace kit
