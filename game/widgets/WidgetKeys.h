#pragma once

#include "engine/input/Keyboard.h"
#include "engine/input/Keys.h"
#include "engine/input/PadButtons.h"

namespace skyscuffle {

// Keys that every widget and screen reads the same way. Alt+Enter and F11
// switch between a window and full screen anywhere in the game, so they are
// nobody's Enter and nobody's "any key".
namespace widgets {

[[nodiscard]] inline bool togglesFullscreen(const kit::Keyboard::KeyInfo& key)
{
    return key.key == kit::keys::f11 || (key.key == kit::keys::enter && key.alt);
}

// Either Enter key, without Alt.
[[nodiscard]] inline bool isEnter(const kit::Keyboard::KeyInfo& key)
{
    return (key.key == kit::keys::enter || key.key == kit::keys::keypadEnter) && !key.alt;
}

} // namespace widgets

} // namespace skyscuffle
