#pragma once

#include <string>
#include <vector>

namespace kit {
class World;
}

namespace skyscuffle {

// What the join screen shows: the mascot over the backdrop, the controls,
// the players who have joined (in their colours) with the link to each other
// copy beside its players, and the count of the other copies' players, all
// kept current every frame.
void showJoinScreen(kit::World* world);

// "N Remote Players Joined": the players whose entity another copy made.
std::string remotePlayersLine(kit::World* world);

// One line per player of every copy, in entity order: its colour name and who
// flies it ("keyboard", "gamepad 2", "computer", "remote").
std::vector<std::string> rosterLines(kit::World* world);

// Beside each of those lines, the link to the player's copy ("42 ms",
// "! 310 ms 7% loss": see linkLabel); empty for this copy's own players and
// for a copy whose figures have not come yet.
std::vector<std::string> linkLines(kit::World* world);

} // namespace skyscuffle
