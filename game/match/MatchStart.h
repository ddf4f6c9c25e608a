#pragma once

#include "engine/core/EntityHandle.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace skyscuffle {

// How a match world shows its match: as this copy's own, or as a replay of
// the match that the copy `replayOf` recorded, `length` seconds long. A
// replay has its gauges for that copy's players, and a clock that ends
// nothing: the recording does.
struct MatchView {
    std::optional<std::uint32_t> replayOf;
    float length = 0.0f; // 0: the tuning value
};

// What one match world remembers across its named functions.
struct MatchState {
    bool started = false; // "startGameplay" has run here
    bool ended = false;   // "endGame" has run here: later ones (every copy's clock sends one) are ignored
    MatchView view;
};

// Seconds a joined copy's match clock runs past the host's before it ends the
// match itself: the host's "endGame" arrives well within it, even resent
// after a loss or two.
inline constexpr float joinedCopyGrace = 2.0f;

// Where the gauge of this copy's j-th of `count` players sits across the foot
// of the screen, as a fraction of the half-width (-1 to 1): four fit at
// -0.75, -0.25, 0.25, 0.75; five or six share the width evenly so that none
// falls off a 4:3 window.
float gaugePlace(int j, int count);

// "startGameplay": every copy's players are placed on the spawn circle, in
// the same order on every copy; each copy spawns its own players' planes
// ("spawnPlayer", so that every copy builds them), lays out its own players'
// HUD and the other copies' links (LinkStrip.h), and starts the clock whose
// end calls "endGame".
void startGameplay(kit::EntityHandle entity, const std::shared_ptr<MatchState>& state);

} // namespace skyscuffle
