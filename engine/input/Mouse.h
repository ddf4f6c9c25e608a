#pragma once

#include "engine/core/Signal.h"

namespace kit {

class Window;

// Turns the window's mouse events into typed signals. Positions are in window
// coordinates (pixels from the top-left corner).
class Mouse {
public:
    struct ButtonInfo {
        int button = 0; // GLFW mouse button number
        float x = 0.0f;
        float y = 0.0f;
    };
    struct MovementInfo {
        float x = 0.0f;
        float y = 0.0f;
    };
    struct WheelInfo {
        float offsetX = 0.0f;
        float offsetY = 0.0f;
        float x = 0.0f;
        float y = 0.0f;
    };

    explicit Mouse(Window& window);
    Mouse(const Mouse&) = delete;
    Mouse& operator=(const Mouse&) = delete;

    Signal<void(ButtonInfo)> buttonPressed;
    Signal<void(ButtonInfo)> buttonReleased;
    Signal<void(MovementInfo)> moved;
    Signal<void()> entered;
    Signal<void()> left;
    Signal<void(WheelInfo)> scrolled;

private:
    Window& window_;
    ScopedConnection buttonConnection_;
    ScopedConnection movedConnection_;
    ScopedConnection enterConnection_;
    ScopedConnection scrollConnection_;
};

} // namespace kit
