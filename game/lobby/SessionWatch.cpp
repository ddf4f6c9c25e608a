#include "SessionWatch.h"

#include "game/players/PlayerFunctions.h"
#include "game/players/PlayerInfo.h"

#include "engine/core/Log.h"
#include "engine/core/UpdateSignal.h"
#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"

#include <memory>
#include <set>

namespace skyscuffle {

namespace {

void follow(kit::World* world, std::set<std::uint32_t>& heard)
{
    kit::NetworkSystem* network = kit::NetworkSystem::of(world);
    if (!network)
        return;
    bool someoneNew = false;
    for (const auto& [origin, peer] : network->peers())
        someoneNew |= heard.insert(origin).second;
    if (someoneNew)
        network->callFunction(fn::requestPlayers, world->systemEntity());

    for (auto gone = heard.begin(); gone != heard.end();) {
        if (network->peers().contains(*gone)) {
            ++gone;
            continue;
        }
        int removed = 0;
        for (const kit::EntityHandle& player : world->getEntities(kit::typeId<PlayerInfo>())->toVector()) {
            if (player.id.origin == *gone) {
                world->destroyEntityNow(player);
                ++removed;
            }
        }
        if (removed > 0)
            kit::log::info() << "A copy has left the session with " << removed
                             << (removed == 1 ? " player" : " players");
        gone = heard.erase(gone);
    }
}

} // namespace

void watchSession(kit::World* world)
{
    // Known from the start: the copies heard from so far and those whose
    // players came along from the last screen. One that left meanwhile (during
    // the match, or while this screen was being built) is missed on the
    // first frame and its players go.
    auto heard = std::make_shared<std::set<std::uint32_t>>();
    if (kit::NetworkSystem* network = kit::NetworkSystem::of(world)) {
        for (const auto& [origin, peer] : network->peers())
            heard->insert(origin);
    }
    for (const kit::EntityHandle& player : world->getEntities(kit::typeId<PlayerInfo>())->toVector()) {
        if (!world->owns(player.id))
            heard->insert(player.id.origin);
    }
    world->emplaceComponent<kit::UpdateSignal>(world->createEntity(),
                                               [world, heard](kit::Component*, float) { follow(world, *heard); });
}

} // namespace skyscuffle
