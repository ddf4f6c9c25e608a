#include "TextScale.h"

#include "game/looks/LookSettings.h"

#include <algorithm>

namespace skyscuffle {

float textScale()
{
    return static_cast<float>(std::clamp(lookSettings::textSize.value(), 100, 200)) / 100.0f;
}

} // namespace skyscuffle
