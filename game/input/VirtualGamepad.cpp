#include "VirtualGamepad.h"

#include <cmath>

namespace skyscuffle {

VirtualGamepad::VirtualGamepad()
{
    addTag(kit::typeId<VirtualGamepad>());
    addTag(kit::tagId("virtualGamepad"));
}

glm::vec2 VirtualGamepad::limitToUnit(glm::vec2 v)
{
    const float lengthSquared = v.x * v.x + v.y * v.y;
    if (lengthSquared > 1.0f)
        return v / std::sqrt(lengthSquared);
    return v;
}

} // namespace skyscuffle
