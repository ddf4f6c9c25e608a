#include "Decisions.h"

#include "game/ai/ArtificialIntelligence.h"
#include "game/ai/PilotSettings.h"
#include "game/ai/PilotView.h"
#include "game/combat/Health.h"
#include "game/combat/Score.h"
#include "game/common/Tags.h"
#include "game/players/Sides.h"

#include "engine/core/World.h"

#include <glm/geometric.hpp>

#include <limits>

namespace skyscuffle {

bool isHealthly::test()
{
    const auto* health = plane.world ? plane.world->getComponent<Health>(plane.id) : nullptr;
    const auto* ai = plane.world ? plane.world->getComponent<ArtificialIntelligence>(plane.id) : nullptr;
    if (health && ai && ai->cautious)
        return health->currentHealth > pilotSettings::judgement.cautiousHealth.value();
    return health && health->currentHealth > pilotSettings::judgement.minHealthToBeAggressive.value();
}

bool isLabelExist::test()
{
    return plane.world && !plane.world->getEntities(kit::tagId(label))->empty();
}

bool isTargetAlive::test()
{
    kit::EntityHandle target = ai->target;
    target.world = ai->world;
    return !ai->target.empty() && pilot::isFairTarget(target);
}

float FindTarget::value(kit::EntityHandle own, kit::EntityHandle candidate)
{
    const pilotSettings::Judgement& t = pilotSettings::judgement;
    kit::World& world = *own.world;
    const auto* health = world.getComponent<Health>(candidate.id);
    const float wounds = health ? health->maxHealth - health->currentHealth : 0.0f;
    const float distance = glm::length(pilot::position(candidate) - pilot::position(own));
    // Planes ahead on points draw more fire: a bot that hunts the leader
    // keeps the scores close. A quarter of the weight per point of lead.
    const auto* theirs = world.getComponent<Score>(candidate.id);
    const auto* mine = world.getComponent<Score>(own.id);
    const float lead = theirs && mine ? static_cast<float>(theirs->points - mine->points) : 0.0f;
    return wounds * t.healthWeight - distance * t.distanceWeight + lead * t.scoreWeight * 0.25f;
}

bool FindTarget::test()
{
    kit::World* world = ai->world;
    const kit::EntityHandle own = ai->getEntity();
    float best = -std::numeric_limits<float>::max();
    kit::EntityHandle chosen;
    kit::EntityCollection* players = world->getEntities(kit::tagId(tags::player));
    for (auto it = players->begin(); it != players->end(); ++it) {
        kit::EntityHandle candidate = *it;
        candidate.world = world;
        if (candidate.id == own.id || !pilot::isFairTarget(candidate))
            continue;
        if (friends(*world, own.id, candidate.id))
            continue; // a team match's own side
        const float v = value(own, candidate);
        if (chosen.empty() || v > best) { // the first met keeps a tie
            best = v;
            chosen = candidate;
        }
    }
    if (chosen.empty())
        return false;
    ai->target = chosen;
    return true;
}

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
    const float range = pilotSettings::judgement.threatRange;
    if (glm::dot(between, between) >= range * range)
        return false;
    ai->threat = attacker;
    return true;
}

} // namespace skyscuffle
