#include "Mouse.h"

#include "engine/core/Window.h"

namespace kit {

Mouse::Mouse(Window& window) : window_(window)
{
    buttonConnection_ = window_.mouseButton.connect([this](int button, int action, int) {
        const glm::dvec2 at = window_.cursorPosition();
        const ButtonInfo info{button, static_cast<float>(at.x), static_cast<float>(at.y)};
        if (action == 1)
            buttonPressed(info);
        else if (action == 0)
            buttonReleased(info);
    });
    movedConnection_ = window_.cursorMoved.connect(
        [this](double x, double y) { moved(MovementInfo{static_cast<float>(x), static_cast<float>(y)}); });
    enterConnection_ = window_.cursorEntered.connect([this](int inside) {
        if (inside == 1)
            entered();
        else
            left();
    });
    scrollConnection_ = window_.scroll.connect([this](double offsetX, double offsetY) {
        const glm::dvec2 at = window_.cursorPosition();
        scrolled(WheelInfo{static_cast<float>(offsetX), static_cast<float>(offsetY), static_cast<float>(at.x),
                           static_cast<float>(at.y)});
    });
}

} // namespace kit
