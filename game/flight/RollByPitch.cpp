#include "RollByPitch.h"

#include "FlightSettings.h"

#include "engine/core/World.h"
#include "engine/physics/Transform.h"

#include <glm/geometric.hpp>
#include <glm/gtc/quaternion.hpp>
#include <glm/mat3x3.hpp>

#include <cmath>

namespace skyscuffle {

RollByPitch::RollByPitch()
{
    addClassTags<RollByPitch>("rollByPitch");
}

void RollByPitch::update(float)
{
    auto* transform = world->getComponent<kit::Transform>(entityId);
    if (!transform)
        return;
    const glm::vec3 forward = glm::normalize(transform->rotation * glm::vec3(0.0f, 0.0f, 1.0f));
    const float b = std::abs(flightSettings::antiRollBias.value() * forward.x);
    const glm::vec3 across = glm::cross(glm::vec3(0.0f, b, forward.y), forward);
    if (glm::dot(across, across) < 1e-12f)
        return; // no defined right axis: keep the rotation as it is
    const glm::vec3 right = glm::normalize(across);
    const glm::vec3 up = glm::normalize(glm::cross(forward, right));
    transform->rotation = glm::normalize(glm::quat_cast(glm::mat3(right, up, forward)));
}

} // namespace skyscuffle
