#include "Seats.h"

#include "game/common/Tags.h"
#include "game/players/PlayerColours.h"
#include "game/players/PlayerFunctions.h"
#include "game/players/PlayerInfo.h"

#include "engine/core/Log.h"
#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"

#include <chrono>

namespace skyscuffle {

SeatRefusal seatFor(kit::World& world, const PlayerTextureInfo& look)
{
    kit::EntityCollection* seated = world.getEntities(kit::typeId<PlayerInfo>());
    if (seated->size() >= seatsInSession)
        return SeatRefusal::full;
    for (const kit::EntityHandle& player : seated->toVector()) {
        const PlayerInfo* info = world.getComponent<PlayerInfo>(player.id);
        if (info && info->modelTexture == look.modelTexture)
            return SeatRefusal::colourTaken;
    }
    return SeatRefusal::none;
}

std::string_view reasonOf(SeatRefusal why)
{
    switch (why) {
    case SeatRefusal::full:
        return "no seat left: the session holds six";
    case SeatRefusal::colourTaken:
        return "its colour went to a player seated before it";
    case SeatRefusal::none:
        break;
    }
    return "";
}

void turnAway(kit::NetworkSystem& network, kit::EntityID player, SeatRefusal why, const std::string& colourName)
{
    // An honest copy is turned away once or twice as its players meet the
    // session's; a copy that announces hundreds gets no more answers than this.
    constexpr int answersPerSecond = 10;
    static auto second = std::chrono::steady_clock::now();
    static int answers = 0;
    const auto now = std::chrono::steady_clock::now();
    if (now - second >= std::chrono::seconds(1)) {
        second = now;
        answers = 0;
    }
    if (answers >= answersPerSecond || !network.world)
        return;
    ++answers;
    network.callFunction(fn::refuseSeat, network.world->systemEntity(), player, why == SeatRefusal::full, colourName);
}

void refuseSeat(kit::EntityHandle host, kit::EntityID player, bool full, const std::string& colourName)
{
    kit::World* world = host.world;
    kit::NetworkSystem* network = kit::NetworkSystem::of(world);
    const PlayerInfo* info = world ? world->getComponent<PlayerInfo>(player) : nullptr;
    if (!network || !info || !world->owns(player) || (!full && info->colourName != colourName))
        return;
    const std::optional<PlayerTextureInfo> colour = full ? std::nullopt : newPlayerColour(world);
    if (!colour) {
        kit::log::info() << "All six colours are taken: no room for another player";
        network->callFunction(kit::destroyEntityFunction, player);
        return;
    }
    const int number = static_cast<int>(info->number);
    network->callFunction(kit::destroyComponentFunction, player, std::string(tags::playerInfo));
    network->callFunction(fn::spawnPersistantPlayer, player, *colour, number);
    kit::log::info() << "Taken by another copy's player: this one is now " << colour->colourName;
}

} // namespace skyscuffle
