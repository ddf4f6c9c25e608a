#include "PowerupSpawnSystem.h"

#include "PowerSettings.h"

#include "game/common/ArenaLayout.h"
#include "game/common/Random.h"
#include "game/powerups/PowerupFunctions.h"

#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"

#include <algorithm>
#include <cmath>

namespace skyscuffle {

PowerupSpawnSystem::PowerupSpawnSystem(glm::vec2 centre, glm::vec2 size, float players)
    : centre(centre), size(size), players(players)
{
    addClassTags<PowerupSpawnSystem>("powerupSpawnSystem");
    countdown = nextInterval();
}

float PowerupSpawnSystem::nextInterval() const
{
    const float interval =
        Random::between(powerSettings::minSpawnInterval, powerSettings::maxSpawnInterval) / std::max(players, 1.0f);
    return std::isfinite(interval) ? std::max(interval, 0.05f) : 5.0f;
}

void PowerupSpawnSystem::update(float dt)
{
    countdown -= dt;
    if (countdown >= 0.0f)
        return;
    // Room for the pick-up and a plane taking it.
    constexpr float clearance = 5.0f;
    const ArenaLayout& arena = layoutOf(world);
    glm::vec2 at(0.0f);
    for (int tries = 0; tries < 8; ++tries) {
        at = glm::vec2(centre.x + Random::between(-size.x * 0.5f, size.x * 0.5f),
                       centre.y + Random::between(-size.y * 0.5f, size.y * 0.5f));
        if (!touchesSolid(arena, at, clearance))
            break;
    }
    at = clearOf(arena, at, clearance);
    const auto kind = static_cast<PowerEnum>(std::min(static_cast<int>(6.0f * Random::uniform()), 5));
    if (kit::NetworkSystem* network = kit::NetworkSystem::of(world))
        network->callFunction(fn::spawnPowerup, world->createEntity(), glm::vec3(at, 0.0f), kind);
    countdown += nextInterval();
}

} // namespace skyscuffle
