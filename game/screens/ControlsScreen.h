#pragma once

namespace kit {
class World;
}

namespace skyscuffle {

// The keys of keyboard player `set` (0 or 1), to rebind one by one, from the
// Options screen: Enter then a key binds it (a key another action had is
// swapped, the game's own keys refused), the keyboard's auto-fire, a reset
// of every key, and Back to the Options.
struct ControlsScreenInit {
    int set = 0;
    void operator()(kit::World* world) const;
};

} // namespace skyscuffle
