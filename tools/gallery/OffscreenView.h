#pragma once

#include "SheetImage.h"

#include <memory>

namespace kit {
class World;
}

namespace gallery {

// Draws a world into the lower-left corner of the hidden window's back
// buffer and reads it back: one tile of a contact sheet. The window must be
// at least as large as the tile.
class OffscreenView {
public:
    // Runs `frames` update passes of dt seconds before drawing (animations),
    // then one render pass.
    static SheetImage render(kit::World& world, int width, int height, int frames = 1, float dt = 0.0f);
};

} // namespace gallery
