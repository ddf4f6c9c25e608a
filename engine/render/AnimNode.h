#pragma once

#include <glm/gtc/quaternion.hpp>
#include <glm/vec3.hpp>

#include <cstddef>

namespace kit {

// An animation state: where in time it is, and the pose there.
class AnimNode {
public:
    virtual ~AnimNode() = default;

    virtual void update(float dt) = 0;
    [[nodiscard]] virtual glm::quat boneRotation(std::size_t bone) const = 0;
    [[nodiscard]] virtual glm::vec3 rootPosition() const = 0;
};

} // namespace kit
