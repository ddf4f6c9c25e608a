#include "GameLights.h"

#include <glm/geometric.hpp>
#include <glm/vec3.hpp>

#include <cmath>
#include <string>

namespace skyscuffle {

kit::UniformSet gameLights()
{
    const glm::vec3 directions[4] = {glm::vec3(0, -3, 2) / std::sqrt(13.0f), glm::vec3(-1, -2, -2) / 3.0f,
                                     glm::vec3(1, 1, -1) / std::sqrt(3.0f), glm::vec3(-1, 0, -1) / std::sqrt(2.0f)};
    const glm::vec3 colours[4] = {{1, 1, 0.7f}, {0.8f, 0.8f, 0.6f}, {0.2f, 0.2f, 0.4f}, {0.4f, 0.3f, 0.3f}};
    kit::UniformSet lights;
    for (int i = 0; i < 4; ++i) {
        const std::string light = "lights[" + std::to_string(i) + "]";
        lights.set(light + ".direction", directions[i]);
        lights.set(light + ".color", colours[i]);
    }
    return lights;
}

} // namespace skyscuffle
