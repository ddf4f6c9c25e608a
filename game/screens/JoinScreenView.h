#pragma once

#include <string>
#include <vector>

namespace kit {
class World;
}

namespace skyscuffle {

// What the join screen shows: the mascot over the backdrop, the controls,
// the players who have joined (in their colours) and the count of the other
// copies' players, both kept current every frame.
void showJoinScreen(kit::World* world);

// "N Remote Players Joined": the players whose entity another copy made.
std::string remotePlayersLine(kit::World* world);

// One line per player of every copy, in entity order: its colour name and who
// flies it ("keyboard", "gamepad 2", "computer", "remote").
std::vector<std::string> rosterLines(kit::World* world);

} // namespace skyscuffle
