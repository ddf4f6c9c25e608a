#pragma once

#include "game/players/PlayerTextureInfo.h"
#include "game/powerups/PowerEnum.h"
#include "game/match/ScoreTable.h"

#include "engine/core/EntityID.h"
#include "engine/network/NamedFunction.h"

#include <glm/gtc/quaternion.hpp>
#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include <string>

// The game's named functions: what every copy of a networked game runs when
// one copy calls it. The entity the call is about comes first and is not
// listed; for calls that create something it is the new entity's id, made by
// the caller. Registered by start-up, the join screen and the game world.
// Each says which copies may call it (kit::Caller): by default only the copy
// that owns the entity; every handler also checks its arguments, since a
// peer may send anything.
namespace fn {

// Colour row, player number.
inline constexpr kit::NamedFunction<PlayerTextureInfo, int> spawnPersistantPlayer{"spawnPersistantPlayer"};
// Position, rotation: turns the player's entity into its plane.
inline constexpr kit::NamedFunction<glm::vec3, glm::quat> spawnPlayer{"spawnPlayer"};
// Position, kind: a pick-up item under the new id. The hosting copy spawns them.
inline constexpr kit::NamedFunction<glm::vec3, PowerEnum> spawnPowerup{"spawnPowerup", kit::Caller::host};
// Position of the pick-up, kind: the plane receives the power.
inline constexpr kit::NamedFunction<glm::vec3, PowerEnum> grantPower{"grantPower"};
inline constexpr kit::NamedFunction<> grantInvincibility{"grantInvincibility"};
// The victim's copy scores the kill for the attacker's plane.
inline constexpr kit::NamedFunction<> addKillPoints{"addKillPoints", kit::Caller::anyone};
inline constexpr kit::NamedFunction<> addDeathPoints{"addDeathPoints"};
// The new bomb spawner's id (the caller makes it; the plane is the entity).
inline constexpr kit::NamedFunction<kit::EntityID> spawnBombSpawner{"spawnBombSpawner"};
// Model, texture, owner, lifespan, radius, damage, position, velocity.
inline constexpr kit::NamedFunction<std::string, std::string, kit::EntityID, float, float, float, glm::vec3, glm::vec2>
    spawnBullet{"spawnBullet"};
// Model, owner, minimum damage, maximum damage, blast radius, bomb radius,
// lifespan, position, velocity.
inline constexpr kit::NamedFunction<std::string, kit::EntityID, float, float, float, float, float, glm::vec3, glm::vec2>
    spawnBomb{"spawnBomb"};
// The taunt's text, shown at the plane.
inline constexpr kit::NamedFunction<std::string> spawnTaunt{"spawnTaunt"};
// A line for the console.
inline constexpr kit::NamedFunction<std::string> print{"print"};
// A sound's name, played through the sound manager of the entity's world.
inline constexpr kit::NamedFunction<std::string> playSound{"playSound"};
// The hosting copy starts the match, and ends it.
inline constexpr kit::NamedFunction<> startGameplay{"startGameplay", kit::Caller::host};
// Every plane's points.
inline constexpr kit::NamedFunction<ScoreTable> endGame{"endGame", kit::Caller::host};
// Every copy announces its players again.
inline constexpr kit::NamedFunction<> requestPlayers{"requestPlayers"};

} // namespace fn
