#pragma once

#include "game/match/ScoreTable.h"

#include "game/combat/ScoreFunctions.h"
#include "game/effects/Taunts.h"
#include "game/players/PlayerFunctions.h"
#include "game/powerups/PowerupFunctions.h"
#include "game/sound/SoundFunctions.h"
#include "game/weapons/HitClaim.h"
#include "game/weapons/ProjectileFunctions.h"

#include "engine/core/EntityID.h"
#include "engine/network/NamedFunction.h"

#include <glm/gtc/quaternion.hpp>
#include <glm/vec3.hpp>

#include <string>

namespace kit {
class World;
}

namespace skyscuffle {

// The game's named functions: what every copy of a networked game runs when
// one copy calls it. The entity the call is about comes first and is not
// listed; for calls that create something it is the new entity's id, made by
// the caller. Each is declared with the code that handles it (the headers
// above: players, projectiles, pick-ups and powers, scores, taunts, sounds)
// and registered for a match in one table, registerGameplayFunctions and the
// game world's own. Each says which copies may call it (kit::Caller): by
// default only the copy that owns the entity; every handler also checks its
// arguments, since a peer may send anything.
namespace fn {

// Position, rotation: turns the player's entity into its plane.
inline constexpr kit::NamedFunction<glm::vec3, glm::quat> spawnPlayer{"spawnPlayer"};
// A line for the console.
inline constexpr kit::NamedFunction<std::string> print{"print"};
// The hosting copy starts the match, and ends it.
inline constexpr kit::NamedFunction<> startGameplay{"startGameplay", kit::Caller::host};
// Every plane's points.
inline constexpr kit::NamedFunction<ScoreTable> endGame{"endGame", kit::Caller::host};

} // namespace fn

// Registers, for the life of a match world, the named functions through
// which projectiles, pick-ups, scores, taunts and sounds happen on every
// copy: "spawnBullet", "spawnBomb", "spawnPowerup", "grantPower",
// "grantInvincibility", "spawnBombSpawner", "addKillPoints",
// "addDeathPoints", "spawnTaunt", "playSound" and "print".
void registerGameplayFunctions(kit::World& world);

} // namespace skyscuffle
