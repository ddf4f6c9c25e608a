#pragma once

namespace kit {
class World;
}

// Registers, for the life of a match world, the named functions through
// which planes, projectiles, pick-ups, scores, taunts and sounds happen on
// every copy: "spawnBullet", "spawnBomb", "spawnPowerup", "grantPower",
// "grantInvincibility", "spawnBombSpawner", "addKillPoints",
// "addDeathPoints", "spawnTaunt", "playSound" and "print".
void registerGameplayFunctions(kit::World& world);
