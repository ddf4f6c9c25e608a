#include "TextField.h"

#include "game/widgets/MenuList.h"
#include "game/widgets/Overlay.h"
#include "game/widgets/TextFit.h"
#include "game/widgets/WidgetKeys.h"

#include "engine/core/Log.h"
#include "engine/core/Translation.h"
#include "engine/core/World.h"
#include "engine/input/JoystickManager.h"
#include "engine/render/Text.h"

#include <algorithm>

namespace skyscuffle {

namespace {

// The font has none but these; an invite code read aloud may be typed with
// a blank in the middle.
bool printable(unsigned int codePoint)
{
    return codePoint >= 0x20 && codePoint < 0x7F;
}

unsigned int lowerCase(unsigned int codePoint)
{
    return codePoint >= 'A' && codePoint <= 'Z' ? codePoint - 'A' + 'a' : codePoint;
}

// A text cut to `room` characters, its end "..." where it was longer.
std::string cut(const std::string& text, std::size_t room)
{
    return text.size() > room ? text.substr(0, room > 3 ? room - 3 : 0) + "..." : text;
}

// The message on `lines` lines of `room` characters at most: broken at its
// blanks, a word longer than a line broken where the line ends; what has no
// room left is cut short on the last line.
std::string brokenMessage(const std::string& message, std::size_t room, std::size_t lines)
{
    room = std::max<std::size_t>(room, 4);
    std::vector<std::string> all;
    std::string line;
    std::size_t at = 0;
    while (at <= message.size()) {
        const std::size_t blank = std::min(message.find(' ', at), message.size());
        std::string word = message.substr(at, blank - at);
        at = blank + 1;
        if (!line.empty() && line.size() + 1 + word.size() > room) {
            all.push_back(line);
            line.clear();
        }
        if (!line.empty())
            line += ' ';
        line += word;
        while (line.size() > room) {
            all.push_back(line.substr(0, room));
            line.erase(0, room);
        }
    }
    all.push_back(line);
    std::string shown;
    for (std::size_t i = 0; i < all.size() && i < lines; ++i) {
        std::string words = all[i];
        if (i + 1 == lines && i + 1 < all.size()) // more than there is room for
            words = words.substr(0, std::min(words.size(), room - 3)) + "...";
        shown += (i > 0 ? "\n" : "") + words;
    }
    return shown;
}

} // namespace

TextField::TextField(std::vector<kit::EntityHandle> panel, kit::EntityHandle typedLine, kit::EntityHandle messageLine,
                     std::vector<kit::EntityHandle> behind, Limits limits)
    : panel_(std::move(panel)), behind_(std::move(behind)), typedLine_(typedLine), messageLine_(messageLine),
      limits_(limits)
{
    addClassTags<TextField>("textField");
}

void TextField::initialize()
{
    if (world->keyboard) {
        connections_.emplace_back(
            world->keyboard->keyPressed.connect([this](kit::Keyboard::KeyInfo key) { onKey(key); }));
        connections_.emplace_back(
            world->keyboard->character.connect([this](kit::Keyboard::CharInfo c) { onCharacter(c.codePoint); }));
    }
    if (world->joysticks)
        connections_.emplace_back(
            world->joysticks->buttonPressed.connect([this](kit::Joystick::ButtonInfo b) { onButton(b); }));
    show(open_);
}

void TextField::update(float)
{
    // Keys and characters of one press arrive before the frame's update: the
    // opening key's character has come by now, if it ever does.
    swallow_ = 0;
    if (closedThisFrame_) {
        closedThisFrame_ = false;
        lockMenus(false);
    }
}

void TextField::open(unsigned int swallow)
{
    if (open_)
        return;
    open_ = true;
    closedThisFrame_ = false;
    swallow_ = lowerCase(swallow);
    text_.clear();
    message_.clear();
    opened();
    lockMenus(true);
    show(true);
    redraw();
}

void TextField::close()
{
    if (!open_)
        return;
    open_ = false;
    closedThisFrame_ = true; // the menu takes keys again from the next frame
    closed();
    show(false);
}

void TextField::type(std::string_view characters)
{
    for (const char c : characters)
        if (printable(static_cast<unsigned char>(c)) && text_.size() < limits_.maxLength)
            text_ += c;
    redraw();
}

void TextField::erase()
{
    if (!text_.empty())
        text_.pop_back();
    redraw();
}

void TextField::paste()
{
    if (!world->keyboard)
        return;
    // The first line, without the blanks around it.
    std::string pasted = world->keyboard->clipboardText();
    pasted = pasted.substr(0, pasted.find_first_of("\r\n"));
    const std::size_t first = pasted.find_first_not_of(" \t");
    if (first == std::string::npos)
        return;
    type(std::string_view(pasted).substr(first, pasted.find_last_not_of(" \t") - first + 1));
}

void TextField::submit()
{
    if (onSubmit)
        onSubmit(text_);
}

void TextField::say(const char* pattern, std::initializer_list<std::string_view> arguments)
{
    if (*pattern)
        kit::log::info() << kit::format(pattern, arguments);
    message_ = kit::format(kit::tr(pattern), arguments);
    redraw();
}

void TextField::onKey(const kit::Keyboard::KeyInfo& key)
{
    if (!open_)
        return;
    if (key.key == kit::keys::escape)
        close();
    else if (widgets::isEnter(key))
        submit();
    else if (key.key == kit::keys::backspace)
        erase();
    else if (key.key == kit::keys::v && key.control)
        paste();
}

void TextField::onCharacter(unsigned int codePoint)
{
    if (!open_)
        return;
    if (swallow_ != 0 && lowerCase(codePoint) == swallow_) {
        swallow_ = 0; // the opening key's own character
        return;
    }
    if (printable(codePoint))
        type(std::string(1, static_cast<char>(codePoint)));
}

void TextField::onButton(const kit::Joystick::ButtonInfo& button)
{
    if (open_ && (button.button == kit::pad::b || button.button == kit::pad::back))
        close();
}

void TextField::show(bool visible)
{
    for (const kit::EntityHandle& e : panel_)
        widgets::showDrawn(*world, e, visible);
    for (const kit::EntityHandle& e : behind_)
        widgets::showDrawn(*world, e, !visible);
}

void TextField::lockMenus(bool locked)
{
    for (kit::Component* c : *world->getComponentCollection(kit::typeId<MenuList>()))
        static_cast<MenuList*>(c)->locked = locked;
}

void TextField::redraw()
{
    widgets::setText(world->getComponent<kit::Text>(typedLine_.id), shownText(text_, limits_));
    widgets::setText(world->getComponent<kit::Text>(messageLine_.id), shownMessage(message_, limits_));
}

std::string TextField::shownText(const std::string& text, const Limits& limits)
{
    const std::size_t shown = limits.shownCharacters;
    return (text.size() > shown ? "<" + text.substr(text.size() - shown + 1) : text) + "_";
}

std::string TextField::shownMessage(const std::string& message, const Limits& limits)
{
    return limits.messageLines > 1 ? brokenMessage(message, limits.shownMessage, limits.messageLines)
                                   : cut(message, limits.shownMessage);
}

std::vector<std::string> linesWithin(const std::string& words, float left, float right, float size)
{
    if (widgets::fittedSize(words, left, right, size) >= size * 0.9f)
        return {words};
    return widgets::wrapWords(words, right - left, size);
}

} // namespace skyscuffle
