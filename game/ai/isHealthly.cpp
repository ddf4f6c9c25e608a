#include "isHealthly.h"

#include "game/ai/AiTuning.h"
#include "game/combat/Health.h"

#include "engine/core/World.h"

namespace skyscuffle {

bool isHealthly::test()
{
    const auto* health = plane.world ? plane.world->getComponent<Health>(plane.id) : nullptr;
    return health && health->currentHealth > AiTuning::get().minHealthToBeAggressive.value;
}

} // namespace skyscuffle
