#pragma once

#include "game/ai/PilotSkill.h"
#include "game/players/PlayerTextureInfo.h"

#include "engine/core/EntityHandle.h"

#include <optional>

namespace kit {
class Joystick;
class World;
} // namespace kit

namespace skyscuffle {

// The players of this copy as the join screen makes and removes them. A
// player is an entity with the label "player", a virtual gamepad, for a
// computer pilot an ArtificialIntelligence, a JoinedBy and the PlayerInfo
// that "spawnPersistantPlayer" gives it on every copy; all of it tagged
// "persistant", so it lives through every screen until the player leaves.
namespace joining {

// Makes a human player on the keyboard (device JoinedBy::keyboard, joystick
// null) or on a joystick, or a computer pilot added by that device. Returns
// the new player's number, or nothing when the six colours are all taken
// (one line on the console says so).
std::optional<int> addPlayer(kit::World* world, int device, kit::Joystick* joystick, bool computer);

// Makes a player of this copy with a given look and number (a computer
// pilot of that strength when `computer` is given) and announces it.
// Nothing without a network system.
std::optional<kit::EntityHandle> makePlayer(kit::World* world, int device, kit::Joystick* joystick,
                                            std::optional<PilotStrength> computer, const PlayerTextureInfo& colour,
                                            int number);

// This copy's human player on a device, if it has one.
std::optional<kit::EntityHandle> humanPlayer(kit::World* world, int device);
// The computer pilot that the device added last, if any is left.
std::optional<kit::EntityHandle> lastComputerPlayer(kit::World* world, int device);

// Destroys a player on every copy.
void removePlayer(kit::World* world, const kit::EntityHandle& player);

// Announces every player of this copy to every copy again (they ignore the
// ones they know).
void announcePlayers(kit::World* world);

} // namespace joining

} // namespace skyscuffle
