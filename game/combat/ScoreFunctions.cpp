#include "ScoreFunctions.h"

#include "game/combat/Health.h"
#include "game/combat/MatchEvents.h"
#include "game/combat/Score.h"
#include "game/common/CallRefusals.h"
#include "game/players/Sides.h"

#include "engine/core/Log.h"
#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"

namespace skyscuffle {

namespace {

// The plane named by the kill call that came right before the running call,
// from the same copy, if there was one.
std::optional<kit::EntityID> killRightBefore(const kit::NetworkSystem* network)
{
    if (!network || !network->previousCameRightBefore() || network->previousCall().name != fn::addKillPoints.name)
        return std::nullopt;
    return network->previousCall().about;
}

} // namespace

void addKillPoints(kit::EntityHandle)
{
    // Scored with the death it comes with, or not at all.
}

void addDeathPoints(kit::EntityHandle plane)
{
    kit::World* world = plane.world;
    Score* score = world ? world->getComponent<Score>(plane.id) : nullptr;
    Health* health = world ? world->getComponent<Health>(plane.id) : nullptr;
    if (!score || !health)
        return;
    kit::NetworkSystem* network = kit::NetworkSystem::of(world);
    if (!health->mayScoreDeath()) {
        refuseCall(fn::addDeathPoints.name, "a plane that has not lived since its last death");
        if (network)
            network->refuseRunningCall();
        return;
    }
    health->deathScored();
    const std::optional<kit::EntityID> killer = killRightBefore(network);
    // A friend's kill (friendly fire on) counts for nobody.
    if (killer && *killer != plane.id && !friends(*world, *killer, plane.id)) {
        if (Score* theirs = world->getComponent<Score>(*killer)) {
            if (theirs->byKills) {
                theirs->points += 2;
                kit::log::info() << "KILL  \tscore increased by 2 to a value of " << theirs->points;
            }
            MatchEvents::killScored()(kit::EntityHandle{*killer, world});
        }
    }
    if (score->byKills) {
        score->points -= 1;
        kit::log::info() << "DEADED\tscore decreased by 1 to a value of " << score->points;
    }
    MatchEvents::deathScored()(plane);
}

std::string rightAligned(long value, std::size_t width)
{
    std::string digits = std::to_string(value);
    if (digits.size() < width)
        digits.insert(0, width - digits.size(), ' ');
    return digits;
}

} // namespace skyscuffle
