#include "JoinScreen.h"

#include "game/lobby/JoiningPlayers.h"
#include "game/lobby/SessionWatch.h"
#include "game/screens/JoinLayout.h"
#include "game/screens/JoinScreenInput.h"
#include "game/screens/JoinScreenView.h"
#include "game/screens/LoadingScreen.h"
#include "game/screens/ScreenRegistry.h"
#include "game/screens/ScreenScene.h"
#include "game/screens/ScreenSwitch.h"
#include "game/screens/SessionNotice.h"

#include "game/match/MatchFunctions.h"
#include "game/match/MatchRules.h"
#include "game/players/Sides.h"

#include "engine/core/Log.h"
#include "engine/core/UpdateSignal.h"
#include "engine/core/World.h"
#include "engine/network/LANDiscoverySystem.h"
#include "engine/network/NetworkSystem.h"

namespace skyscuffle {

void createJoinScreen(kit::World* world)
{
    world->maxFrameRate = screens::movingScreenFrameRate; // the mascot's idle loop
    kit::NetworkSystem* network = kit::NetworkSystem::of(world);
    if (auto* discovery = world->single<kit::LANDiscoverySystem>()) {
        discovery->hosting = network && network->isServer() && network->peer && network->peer->isActive();
        discovery->announceNow = true;
    }
    if (network) {
        network->screenName = "joinScreen";
        // A copy that joins later asks everyone for their players.
        network->registerFunction(*world, fn::requestPlayers, [](kit::EntityHandle entity) {
            joining::announcePlayers(entity.world);
            tellRules(entity.world);
            if (entity.world)
                tellSides(*entity.world);
        });
        // The host's choice, shown here until the round begins.
        network->registerFunction(*world, fn::matchRules, [](kit::EntityHandle host, const MatchRules& said) {
            const kit::NetworkSystem* n = kit::NetworkSystem::of(host.world);
            const std::optional<MatchRules> rules = rulesOfCall(host.world, said);
            if (rules && n && !n->isServer())
                hostsRules() = rules;
        });
        if (network->isServer())
            hostsRules().reset();
    }

    kit::log::info() << "Initializing join sreen!";
    kit::log::info() << "Press (A) or X to join";
    kit::log::info() << "Press (B) or Z to leave";

    joining::announcePlayers(world);
    if (network)
        network->callFunction(fn::requestPlayers, world->systemEntity());
    tellRules(world);

    // A hosting copy that asks its router has lines for friends elsewhere to make room for.
    const JoinLayout layout = joinLayout(network && network->isServer() && network->portMapping());
    showJoinScreen(world, layout);
    showSessionNotice(world, layout);
    showMatchLines(world, layout);
    showArenaPreview(world, layout);
    // The hosting copy puts every newcomer on a side (of a team match, should
    // it be one).
    world->emplaceComponent<kit::UpdateSignal>(world->createEntity(),
                                               [world](kit::Component*, float) { balanceSides(*world); });
    listenOnJoinScreen(world);
    watchSession(world);
}

void tellRules(kit::World* world)
{
    kit::NetworkSystem* network = kit::NetworkSystem::of(world);
    if (!network || !network->isServer() || !network->peer || !network->peer->isActive())
        return;
    network->callFunction(fn::matchRules, world->systemEntity(), chosenRules());
}

void beginRound(kit::World* world)
{
    if (kit::NetworkSystem* network = kit::NetworkSystem::of(world)) {
        for (const auto& [origin, peer] : network->peers()) {
            if (peer.screenName == "winScreen") {
                kit::log::info() << "A copy is still on its win screen: the round waits";
                return;
            }
        }
    }
    screens::switchTo(world, LoadingScreenInitializer{"buckets/gameWorld.txt", screens::matchWorld()});
}

} // namespace skyscuffle
