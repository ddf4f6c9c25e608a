#include "SpawnCircle.h"

#include <cmath>
#include <numbers>

namespace skyscuffle {

SpawnPlacement spawnPlacement(int index, int count)
{
    if (count <= 0)
        return {glm::vec3(0.0f), glm::quat(1.0f, 0.0f, 0.0f, 0.0f)};
    const float radius = static_cast<float>(count) * 30.0f / (2.0f * std::numbers::pi_v<float>);
    // In 32-bit floats throughout: the player at exactly 90 degrees counts as
    // on the right-facing side, the one at exactly 270 does not.
    const float theta = static_cast<float>(index) / static_cast<float>(count) * 360.0f * 0.017453292f;
    const float quarter = std::numbers::pi_v<float> * 0.5f;
    const float threeQuarters = std::numbers::pi_v<float> * 1.5f;
    const bool facesRight = theta <= quarter || theta > threeQuarters;
    // A quarter turn about +Y lays the nose (+Z) along +X; the inverse along -X.
    const glm::quat rotation = glm::angleAxis(facesRight ? quarter : -quarter, glm::vec3(0.0f, 1.0f, 0.0f));
    return {radius * glm::vec3(std::cos(theta), -std::sin(theta), 0.0f), rotation};
}

SpawnPlacement spawnPlacement(int index, int count, const ArenaLayout& layout)
{
    // Room for a plane's wings about its centre, whatever its heading.
    constexpr float clearance = 6.0f;
    SpawnPlacement place = spawnPlacement(index, count);
    const glm::vec2 at = layout.spawnCentre + glm::vec2(place.position) * layout.spawnSpread;
    place.position = glm::vec3(clearOf(layout, at, clearance), 0.0f);
    return place;
}

} // namespace skyscuffle
