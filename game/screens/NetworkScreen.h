#pragma once

#include "engine/network/Announcement.h"
#include "engine/network/NetAddress.h"

#include <cstdint>
#include <string>

namespace kit {
class World;
}

namespace skyscuffle {

// Fills the network screen of the main menu's "Online" choice: Refresh,
// Host a Session, and one option per copy on the local network that hosts a
// session; below them, a line per session whose match is running, with its
// time left and players, which watches that match when chosen. Hosting and
// joining lead to the join screen. C opens a field on the screen for the address of a copy that the broadcast did not
// reach (AddressField); Escape (or the joystick's B or Back) returns to the main menu. Entering the screen ends any
// session.
void createNetworkScreen(kit::World* world);

// Joins, on the game port, the session of the copy that LAN discovery knows
// at `server`, if it still hosts; otherwise the list was stale and the
// screen is built again.
void joinListedServer(kit::World* world, const kit::NetAddress& server, std::uint16_t gamePort);

// Joins, on the game port, the session of the copy that LAN discovery knows
// at `server` to watch its match, if it still runs one; otherwise the list
// was stale and the screen is built again.
void watchListedMatch(kit::World* world, const kit::NetAddress& server, std::uint16_t gamePort);

// How a running match is told on the screen: "in a match, 1:42 left, 4 players".
std::string describeRunningMatch(const kit::Announcement::RunningMatch& match);

} // namespace skyscuffle
