#include "isTargetAlive.h"

#include "game/ai/ArtificialIntelligence.h"
#include "game/ai/PilotView.h"

#include "engine/core/World.h"

namespace skyscuffle {

bool isTargetAlive::test()
{
    kit::EntityHandle target = ai->target;
    target.world = ai->world;
    return !ai->target.empty() && pilot::isFairTarget(target);
}

} // namespace skyscuffle
