#include "HostDuties.h"

#include "game/match/MatchStart.h"

#include "game/match/MatchFunctions.h"
#include "game/players/PlayerInfo.h"
#include "game/powerups/PowerupSpawnSystem.h"

#include "engine/core/UpdateSignal.h"
#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"

namespace skyscuffle {

namespace {

bool everyCopyShowsItsGame(const kit::NetworkSystem& network)
{
    for (const auto& [origin, peer] : network.peers()) {
        if (peer.screenName != "game")
            return false;
    }
    return true;
}

void runSpawner(kit::World& world, bool hosting)
{
    kit::ComponentCollection* spawners = world.getComponentCollection(kit::typeId<PowerupSpawnSystem>());
    if (hosting && spawners->empty()) {
        const float players = static_cast<float>(world.getEntities(kit::typeId<PlayerInfo>())->size());
        world.addComponent(world.createEntity(),
                           new PowerupSpawnSystem(glm::vec2(0.0f), glm::vec2(168.0f, 96.0f), players));
    } else if (!hosting && !spawners->empty()) {
        for (kit::Component* spawner : spawners->toVector())
            delete world.removeComponent(spawner);
    }
}

} // namespace

void takeHostDuties(kit::World& world, const std::shared_ptr<MatchState>& state)
{
    world.addComponent(world.createEntity(), new kit::UpdateSignal([state](kit::Component* self, float) {
                           kit::World& w = *self->world;
                           kit::NetworkSystem* network = kit::NetworkSystem::of(&w);
                           const bool hosting = !network || network->isServer();
                           if (!state->started) {
                               if (hosting && network && everyCopyShowsItsGame(*network))
                                   network->callFunction(fn::startGameplay, w.systemEntity());
                               if (!state->started)
                                   return;
                           }
                           runSpawner(w, hosting && !state->ended);
                       }));
}

} // namespace skyscuffle
