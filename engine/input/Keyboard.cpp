#include "Keyboard.h"

#include "engine/core/Window.h"

namespace kit {
namespace {

// GLFW's key actions and modifier bits.
constexpr int releaseAction = 0;
constexpr int pressAction = 1;
constexpr int shiftBit = 1;
constexpr int controlBit = 2;
constexpr int altBit = 4;

} // namespace

Keyboard::Keyboard(Window& window) : window_(window)
{
    keyConnection_ = window_.key.connect([this](int key, int, int action, int mods) { onKey(key, action, mods); });
    characterConnection_ =
        window_.character.connect([this](unsigned int codePoint) { character(CharInfo{codePoint}); });
}

bool Keyboard::isKeyDown(int key) const
{
    return key >= 0 && static_cast<std::size_t>(key) < down_.size() && down_[static_cast<std::size_t>(key)];
}

std::string Keyboard::clipboardText() const
{
    return window_.clipboardText();
}

void Keyboard::setClipboardText(const std::string& text)
{
    window_.setClipboardText(text);
}

void Keyboard::onKey(int key, int action, int mods)
{
    const KeyInfo info{key, (mods & altBit) != 0, (mods & controlBit) != 0, (mods & shiftBit) != 0};
    const bool known = key >= 0 && static_cast<std::size_t>(key) < down_.size();
    if (action == pressAction) {
        if (known)
            down_.set(static_cast<std::size_t>(key));
        keyPressed(info);
    } else if (action == releaseAction) {
        if (known)
            down_.reset(static_cast<std::size_t>(key));
        keyReleased(info);
    }
}

} // namespace kit
