#pragma once

#include "engine/core/EntityHandle.h"

#include <memory>

// What one match world remembers across its named functions.
struct MatchState {
    bool started = false; // "startGameplay" has run here
    bool ended = false;   // "endGame" has run here: later ones (every copy's clock sends one) are ignored
};

// Seconds a joined copy's match clock runs past the host's before it ends the
// match itself: the host's "endGame" arrives well within it, even resent
// after a loss or two.
inline constexpr float joinedCopyGrace = 2.0f;

// "startGameplay": every copy's players are placed on the spawn circle, in
// the same order on every copy; each copy spawns its own players' planes
// ("spawnPlayer", so that every copy builds them), lays out its own players'
// HUD, and starts the clock whose end calls "endGame".
void startGameplay(kit::EntityHandle entity, const std::shared_ptr<MatchState>& state);
