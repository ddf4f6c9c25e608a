#include "VirtualGamepad.h"

#include "AutoFire.h"

#include "engine/core/World.h"

#include <cmath>

namespace skyscuffle {

VirtualGamepad::VirtualGamepad()
{
    addTag(kit::typeId<VirtualGamepad>());
    addTag(kit::tagId("virtualGamepad"));
}

bool VirtualGamepad::flown(int button, bool held) const
{
    if (button != gun || !world)
        return held;
    const auto* autoFire = world->getComponent<AutoFire>(entityId);
    return autoFire ? autoFire->gunDown(held) : held;
}

glm::vec2 VirtualGamepad::limitToUnit(glm::vec2 v)
{
    const float lengthSquared = v.x * v.x + v.y * v.y;
    if (lengthSquared > 1.0f)
        return v / std::sqrt(lengthSquared);
    return v;
}

} // namespace skyscuffle
