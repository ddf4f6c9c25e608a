#include "FindDamager.h"

#include "game/ai/AiTuning.h"
#include "game/ai/ArtificialIntelligence.h"
#include "game/ai/PilotView.h"
#include "game/combat/Health.h"

#include "engine/core/World.h"

#include <glm/geometric.hpp>

namespace skyscuffle {

bool FindDamager::test()
{
    if (!plane.world)
        return false;
    const auto* health = plane.world->getComponent<Health>(plane.id);
    if (!health || health->lastAttacker.empty() || health->lastAttacker.id == plane.id)
        return false;
    kit::EntityHandle attacker{health->lastAttacker.id, plane.world};
    if (!pilot::exists(attacker))
        return false;
    const glm::vec2 between = glm::vec2(pilot::position(attacker) - pilot::position(plane));
    const float range = AiTuning::get().threatRange;
    if (glm::dot(between, between) >= range * range)
        return false;
    ai->threat = attacker;
    return true;
}

} // namespace skyscuffle
