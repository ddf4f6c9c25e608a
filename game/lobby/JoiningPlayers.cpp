#include "JoiningPlayers.h"

#include "game/lobby/JoinedBy.h"
#include "game/players/PlayerColours.h"

#include "game/ai/ArtificialIntelligence.h"
#include "game/ai/VirtualGamepadAI.h"
#include "game/common/Tags.h"
#include "game/input/VirtualGamepadJoystick.h"
#include "game/input/VirtualGamepadKeyboard.h"
#include "game/players/PlayerFunctions.h"
#include "game/players/PlayerInfo.h"

#include "engine/core/Label.h"
#include "engine/core/Log.h"
#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"

namespace skyscuffle {

namespace joining {
namespace {

kit::Component* persistant(kit::Component* c)
{
    c->addTag(kit::tagId(tags::persistant));
    return c;
}

// This copy's players that a device added, of one kind, in entity order
// (the order in which they were made).
std::vector<kit::EntityHandle> playersOf(kit::World* world, int device, bool computer)
{
    std::vector<kit::EntityHandle> found;
    for (const kit::EntityHandle& e : world->getEntities(kit::typeId<JoinedBy>())->toVector()) {
        const auto* by = world->getComponent<JoinedBy>(e.id);
        if (world->owns(e.id) && by && by->device == device && by->computer == computer)
            found.push_back(e);
    }
    return found;
}

} // namespace

std::optional<int> addPlayer(kit::World* world, int device, kit::Joystick* joystick, bool computer)
{
    if (!kit::NetworkSystem::of(world))
        return std::nullopt; // players are made everywhere or nowhere
    const std::optional<PlayerTextureInfo> colour = newPlayerColour(world);
    if (!colour) {
        kit::log::info() << "All six colours are taken: no room for another player";
        return std::nullopt;
    }
    const int number = nextPlayerNumber(world);
    makePlayer(world, device, joystick, computer ? std::optional(defaultStrength()) : std::nullopt, *colour, number);
    return number;
}

std::optional<kit::EntityHandle> makePlayer(kit::World* world, int device, kit::Joystick* joystick,
                                            std::optional<PilotStrength> computer, const PlayerTextureInfo& colour,
                                            int number)
{
    kit::NetworkSystem* network = kit::NetworkSystem::of(world);
    if (!network)
        return std::nullopt;
    const kit::EntityHandle player = world->createEntity();
    world->addComponent(player, persistant(new kit::Label(tags::player)));
    VirtualGamepad* gamepad = nullptr;
    if (computer) {
        auto* ai = new ArtificialIntelligence();
        ai->strength = *computer;
        world->addComponent(player, persistant(ai));
        gamepad = new VirtualGamepadAI(ai);
    } else if (joystick) {
        gamepad = new VirtualGamepadJoystick(joystick);
    } else {
        gamepad = new VirtualGamepadKeyboard(device == JoinedBy::secondKeyboard ? 1 : 0);
    }
    world->addComponent(player, persistant(gamepad));
    world->addComponent(player, persistant(new JoinedBy(device, computer.has_value())));
    network->callFunction(fn::spawnPersistantPlayer, player, colour, number);
    return player;
}

std::optional<kit::EntityHandle> humanPlayer(kit::World* world, int device)
{
    const auto players = playersOf(world, device, false);
    if (players.empty())
        return std::nullopt;
    return players.front();
}

std::optional<kit::EntityHandle> lastComputerPlayer(kit::World* world, int device)
{
    const auto players = playersOf(world, device, true);
    if (players.empty())
        return std::nullopt;
    return players.back();
}

void removePlayer(kit::World* world, const kit::EntityHandle& player)
{
    if (kit::NetworkSystem* network = kit::NetworkSystem::of(world))
        network->callFunction(kit::destroyEntityFunction, player.id);
}

void announcePlayers(kit::World* world)
{
    kit::NetworkSystem* network = kit::NetworkSystem::of(world);
    if (!network)
        return;
    for (const kit::EntityHandle& e : world->getEntities(kit::tagId(tags::player))->toVector()) {
        const PlayerInfo* info = world->getComponent<PlayerInfo>(e.id);
        if (!world->owns(e.id) || !info)
            continue;
        const PlayerTextureInfo row{info->colourName, info->modelTexture, info->hudIcon, info->colour};
        network->callFunction(fn::spawnPersistantPlayer, e.id, row, static_cast<int>(info->number));
    }
}

} // namespace joining

} // namespace skyscuffle
