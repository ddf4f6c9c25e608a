#pragma once

namespace kit {
class World;
}

namespace skyscuffle {

// The other copies of the session in the match's top left corner, out of the
// way of the play: one row per copy with players in the match, its players'
// plane icons (their colours) and the link to that copy ("42 ms", or
// "! 310 ms 7% loss" in a warm red when poor; "left" once it has gone).
// This copy's own players have their gauges at the foot instead. The rows
// change once a second, not every frame.
void showLinkStrip(kit::World& world);

} // namespace skyscuffle
