#include "ConstantRotation.h"

#include "Transform.h"

#include "engine/core/World.h"

#include <cmath>

namespace kit {

ConstantRotation::ConstantRotation(glm::vec3 axis, float speed) : speed(speed), axis(axis)
{
    addClassTags<ConstantRotation>("constantRotation");
    setUpdatePriority(999.0f);
}

void ConstantRotation::update(float dt)
{
    Transform* transform = world->getComponent<Transform>(entityId);
    if (!transform)
        return;
    const float half = speed * dt * 0.5f;
    const float s = std::sin(half);
    // Applied on the right: the turn happens in the entity's own frame. The
    // product is normalised, or thousands of frames of rounding would scale the model.
    transform->rotation =
        glm::normalize(transform->rotation * glm::quat(std::cos(half), axis.x * s, axis.y * s, axis.z * s));
}

} // namespace kit
