#pragma once

#include "engine/input/Keyboard.h"
#include "engine/input/Keys.h"

// Keys that every screen reads the same way. Alt+Enter and F11 switch between
// a window and full screen anywhere in the game, so they are nobody's Enter
// and nobody's "any key".
namespace screens {

// Logical buttons of an Xbox-layout pad, as the joystick service numbers them.
inline constexpr int buttonA = 0;
inline constexpr int buttonB = 1;
inline constexpr int buttonX = 2;
inline constexpr int buttonY = 3;
inline constexpr int buttonBack = 8;
inline constexpr int buttonStart = 9;
inline constexpr int padUp = 12;
inline constexpr int padDown = 14;

[[nodiscard]] inline bool togglesFullscreen(const kit::Keyboard::KeyInfo& key)
{
    return key.key == kit::keys::f11 || (key.key == kit::keys::enter && key.alt);
}

// Either Enter key, without Alt.
[[nodiscard]] inline bool isEnter(const kit::Keyboard::KeyInfo& key)
{
    return (key.key == kit::keys::enter || key.key == kit::keys::keypadEnter) && !key.alt;
}

} // namespace screens
