#include "MatchFunctions.h"

#include "game/common/CallRefusals.h"
#include "game/common/PrintableText.h"

#include "engine/core/Log.h"
#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"

namespace skyscuffle {

void registerGameplayFunctions(kit::World& world)
{
    kit::NetworkSystem* network = kit::NetworkSystem::of(&world);
    if (!network)
        return;
    network->registerFunction(world, fn::spawnBullet, &spawnBullet);
    network->registerFunction(world, fn::spawnBomb, &spawnBomb);
    network->registerFunction(world, fn::claimHit, &claimHit);
    network->registerFunction(world, fn::spawnPowerup, &spawnPowerup);
    network->registerFunction(world, fn::grantPower, &grantPower);
    network->registerFunction(world, fn::grantInvincibility, &grantInvincibility);
    network->registerFunction(world, fn::spawnBombSpawner, &spawnBombSpawner);
    network->registerFunction(world, fn::addKillPoints, &addKillPoints);
    network->registerFunction(world, fn::addDeathPoints, &addDeathPoints);
    network->registerFunction(world, fn::spawnTaunt, &spawnTaunt);
    network->registerFunction(world, fn::playSound, &playSound);
    network->registerFunction(world, fn::print, [](kit::EntityHandle, const std::string& text) {
        // One line of plain text: nothing that moves the console's cursor,
        // clears it or floods it.
        constexpr std::size_t longest = 1000;
        if (text.size() > longest || !isPrintable(text)) {
            refuseCall(fn::print.name, "a text too long or with characters that are not printable");
            return;
        }
        kit::log::info() << text;
    });
}

} // namespace skyscuffle
