#include "ResolutionScale.h"

#include <algorithm>
#include <cmath>

namespace kit {
namespace {

constexpr float smallest = 0.25f;

} // namespace

float resolutionScale(float chosen, bool software, glm::ivec2 screen, float softwarePixels)
{
    if (std::isnan(chosen))
        chosen = 0.0f;
    if (chosen > 0.0f)
        return std::clamp(chosen, smallest, 1.0f);
    if (!software || screen.x <= 0 || screen.y <= 0 || !(softwarePixels > 0.0f))
        return 1.0f;
    const float pixels = static_cast<float>(screen.x) * static_cast<float>(screen.y);
    return std::clamp(std::sqrt(softwarePixels / pixels), smallest, 1.0f);
}

} // namespace kit
