#pragma once

#include "engine/core/Signal.h"

#include <bitset>
#include <string>

namespace kit {

class Window;

// Turns the window's key and character events into typed signals and keeps the
// current state of every key. Characters (`character`) are what the keys type,
// for text fields: a key press and the character it types are separate events.
class Keyboard {
public:
    struct KeyInfo {
        int key = 0; // GLFW key code
        bool alt = false;
        bool control = false;
        bool shift = false;
    };
    struct CharInfo {
        unsigned int codePoint = 0;
    };

    explicit Keyboard(Window& window);
    Keyboard(const Keyboard&) = delete;
    Keyboard& operator=(const Keyboard&) = delete;

    // Whether the key is held now. The state follows the window's key events,
    // which is what GLFW's own key state is made of: a window that loses focus
    // receives releases for the keys still held.
    [[nodiscard]] bool isKeyDown(int key) const;
    // The text on the clipboard of the window, for pasting (Control+V).
    [[nodiscard]] std::string clipboardText() const;
    // Puts text on that clipboard, for pasting elsewhere (an invite code).
    void setClipboardText(const std::string& text);

    Signal<void(KeyInfo)> keyPressed;
    Signal<void(KeyInfo)> keyReleased; // auto-repeat fires neither
    Signal<void(CharInfo)> character;

private:
    void onKey(int key, int action, int mods);

    Window& window_;
    std::bitset<512> down_; // GLFW key codes run from 32 to 348
    ScopedConnection keyConnection_;
    ScopedConnection characterConnection_;
};

} // namespace kit
