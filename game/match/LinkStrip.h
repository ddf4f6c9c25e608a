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
// change once a second, not every frame. At a larger text size the words
// break into lines where the room beside the clock, the sides' points (a
// team match) and the round's line (`rounds`) is short, and the strip goes
// under them where it is shorter still (see HudLayout.h).
void showLinkStrip(kit::World& world, bool rounds);

} // namespace skyscuffle
