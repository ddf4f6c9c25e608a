#pragma once

#include "engine/network/replay/ReplayFile.h"

#include <memory>
#include <string>

namespace skyscuffle {

// What part of a replay becomes a clip, and how.
struct ClipOptions {
    std::string out;       // the animated WebP to write
    float from = 0.0f;     // seconds into the replay
    float seconds = 10.0f; // how long
    int width = 640, height = 360;
    int fps = 30;
};

// Draws the part of the replay through the game's renderer, frame by frame,
// in a window of its own that is never shown, and writes it as an animated
// WebP. Prints the figures; true when written.
bool writeClip(const std::shared_ptr<const kit::Replay>& replay, const ClipOptions& options);

} // namespace skyscuffle
