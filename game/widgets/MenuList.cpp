#include "MenuList.h"

#include "game/widgets/WidgetKeys.h"

#include "game/sound/SoundManager.h"

#include "engine/core/Log.h"
#include "engine/core/World.h"
#include "engine/input/JoystickManager.h"

namespace skyscuffle {

MenuList::MenuList()
{
    addClassTags<MenuList>("menuList");
}

void MenuList::initialize()
{
    if (world->keyboard)
        connections_.emplace_back(
            world->keyboard->keyPressed.connect([this](kit::Keyboard::KeyInfo key) { onKey(key); }));
    if (world->joysticks)
        connections_.emplace_back(
            world->joysticks->buttonPressed.connect([this](kit::Joystick::ButtonInfo b) { onButton(b); }));
}

void MenuList::onKey(const kit::Keyboard::KeyInfo& key)
{
    if (locked)
        return;
    if (catchKey) {
        auto caught = std::move(catchKey);
        catchKey = nullptr;
        if (!caught(key) && !catchKey)
            catchKey = std::move(caught); // refused: the next key is its too
        return;
    }
    if (key.key == kit::keys::up)
        move(-1);
    else if (key.key == kit::keys::down)
        move(1);
    else if (key.key == kit::keys::left)
        changeSelected(-1);
    else if (key.key == kit::keys::right)
        changeSelected(1);
    else if (widgets::isEnter(key))
        chooseSelected();
    else if (key.key == kit::keys::escape)
        back();
}

void MenuList::onButton(const kit::Joystick::ButtonInfo& button)
{
    if (locked || catchKey)
        return; // a key being bound: only the keyboard answers
    if (button.button == kit::pad::up)
        move(-1);
    else if (button.button == kit::pad::down)
        move(1);
    else if (button.button == kit::pad::left)
        changeSelected(-1);
    else if (button.button == kit::pad::right)
        changeSelected(1);
    else if (button.button == kit::pad::a || button.button == kit::pad::start)
        chooseSelected();
    else if (button.button == kit::pad::b || button.button == kit::pad::back)
        back();
}

void MenuList::move(int step)
{
    const int entries = count();
    if (entries == 0)
        return;
    kit::log::info() << (step < 0 ? "Position Moved Up" : "Position Moved Down");
    selected += step;
    if (selected < 0)
        selected = entries - 1;
    if (selected >= entries)
        selected = 0;
    play("upDown");
}

void MenuList::changeSelected(int step)
{
    if (selected < 0 || selected >= count())
        return;
    if (change(selected, step))
        play("click");
}

void MenuList::chooseSelected()
{
    if (selected < 0 || selected >= count())
        return;
    // The click comes after the choice, so that the Sound option clicks as
    // it turns sound on and not as it turns it off. A choice that switches
    // screens leaves this world, and the menu, in place until the frame ends.
    choose(selected);
    play("click");
}

void MenuList::play(const char* sound)
{
    if (SoundManager* sounds = SoundManager::of(world))
        sounds->play(sound);
}

} // namespace skyscuffle
