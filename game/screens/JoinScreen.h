#pragma once

namespace kit {
class World;
}

namespace skyscuffle {

// Fills the join screen, where the players of this copy join and leave
// before a round (keyboard, joysticks, computer pilots) and the players of
// the other copies of a session are counted. Enter or Start begins the round
// through the loading screen; Escape or Back returns to the main menu.
void createJoinScreen(kit::World* world);

// On the hosting copy of a session: tells the other copies the match rules
// its player chose ("matchRules"). F5 to F8 (a pad's right, up, left and
// down) change them on the host's join screen, or on a copy on its own: the
// length, the pick-ups, the mode and the rounds to win.
void tellRules(kit::World* world);

// Begins the round unless a copy of the session still shows its win screen.
void beginRound(kit::World* world);

} // namespace skyscuffle
