#include "isLabelExist.h"

#include "engine/core/World.h"

namespace skyscuffle {

bool isLabelExist::test()
{
    return plane.world && !plane.world->getEntities(kit::tagId(label))->empty();
}

} // namespace skyscuffle
