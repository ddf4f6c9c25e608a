#include "Sides.h"

#include "PlayerInfo.h"

#include "game/common/CallRefusals.h"
#include "game/common/Tags.h"

#include "engine/core/Log.h"
#include "engine/core/Translation.h"
#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"

namespace skyscuffle {

namespace {

bool hosting(kit::World& world)
{
    const kit::NetworkSystem* network = kit::NetworkSystem::of(&world);
    return network && network->isServer();
}

void setSide(kit::World& world, kit::EntityID player, Side side)
{
    if (auto* held = world.getComponent<PlayerSide>(player)) {
        held->side = side;
        return;
    }
    auto* given = new PlayerSide(side);
    given->addTag(kit::tagId(tags::persistant)); // it goes with its player from screen to screen
    world.addComponent(kit::EntityHandle{player, &world}, given);
}

void takeSide(kit::EntityHandle host, kit::EntityID player, std::int32_t side)
{
    kit::World* world = host.world;
    if (!world)
        return;
    if (side < 0 || side >= sideCount || !world->getComponent<PlayerInfo>(player)) {
        refuseCall(fn::playerSide.name, "a side that is neither, or a player nobody announced");
        if (kit::NetworkSystem* network = kit::NetworkSystem::of(world))
            network->refuseRunningCall();
        return;
    }
    setSide(*world, player, static_cast<Side>(side));
}

void moveSide(kit::EntityHandle player)
{
    kit::World* world = player.world;
    if (!world || !hosting(*world))
        return;
    const std::optional<Side> now = sideOf(*world, player.id);
    if (!now)
        return;
    const Side other = *now == Side::sun ? Side::moon : Side::sun;
    kit::NetworkSystem::of(world)->callFunction(fn::playerSide, world->systemEntity(), player.id,
                                                static_cast<std::int32_t>(other));
    if (const auto* info = world->getComponent<PlayerInfo>(player.id))
        kit::log::info() << info->colourName << " plays for the " << nameOf(other);
}

} // namespace

PlayerSide::PlayerSide(Side side) : side(side)
{
    addClassTags<PlayerSide>("playerSide");
}

TeamPlay::TeamPlay(bool friendlyFire) : friendlyFire(friendlyFire)
{
    addClassTags<TeamPlay>("teamPlay");
}

std::optional<Side> sideOf(kit::World& world, kit::EntityID player)
{
    const auto* held = world.getComponent<PlayerSide>(player);
    return held ? std::optional(held->side) : std::nullopt;
}

bool friends(kit::World& world, kit::EntityID a, kit::EntityID b)
{
    if (!world.single<TeamPlay>())
        return false;
    const std::optional<Side> one = sideOf(world, a), other = sideOf(world, b);
    return one && other && *one == *other;
}

const char* nameOf(Side side)
{
    return side == Side::moon ? kit::trLater("Moon") : kit::trLater("Sun");
}

const char* badgeOf(Side side)
{
    return side == Side::moon ? "sprites/HUD/teamMoon.png" : "sprites/HUD/teamSun.png";
}

glm::vec3 tintOf(Side side)
{
    return side == Side::moon ? glm::vec3(0.65f, 0.78f, 1.0f) : glm::vec3(1.0f, 0.82f, 0.3f);
}

int playersOn(kit::World& world, Side side)
{
    int n = 0;
    for (const kit::EntityHandle& player : world.getEntities(kit::typeId<PlayerInfo>())->toVector())
        n += sideOf(world, player.id) == side;
    return n;
}

void balanceSides(kit::World& world)
{
    kit::NetworkSystem* network = kit::NetworkSystem::of(&world);
    if (!network || !network->isServer())
        return;
    for (const kit::EntityHandle& player : world.getEntities(kit::typeId<PlayerInfo>())->toVector()) {
        if (sideOf(world, player.id))
            continue;
        const Side smaller = playersOn(world, Side::moon) < playersOn(world, Side::sun) ? Side::moon : Side::sun;
        network->callFunction(fn::playerSide, world.systemEntity(), player.id, static_cast<std::int32_t>(smaller));
    }
}

void tellSides(kit::World& world)
{
    kit::NetworkSystem* network = kit::NetworkSystem::of(&world);
    if (!network || !network->isServer())
        return;
    balanceSides(world);
    for (const kit::EntityHandle& player : world.getEntities(kit::typeId<PlayerInfo>())->toVector()) {
        if (const std::optional<Side> side = sideOf(world, player.id))
            network->callFunction(fn::playerSide, world.systemEntity(), player.id, static_cast<std::int32_t>(*side));
    }
}

void registerSideFunctions(kit::NetworkSystem& network)
{
    network.registerFunction(fn::playerSide, &takeSide);
    network.registerFunction(fn::switchSide, &moveSide);
}

} // namespace skyscuffle
