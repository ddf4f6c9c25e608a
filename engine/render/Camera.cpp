#include "Camera.h"

#include <glm/gtc/matrix_transform.hpp>

namespace kit {

Camera::Camera(const glm::mat4& projection) : projection(projection)
{
    addClassTags<Camera>("camera");
}

glm::mat4 sceneProjection()
{
    return glm::perspective(1.2217305f, 1.0f, 0.1f, 1000.0f);
}

glm::mat4 overlayProjection()
{
    return glm::ortho(-1.0f, 1.0f, -1.0f, 1.0f, -1.0f, 1.0f);
}

} // namespace kit
