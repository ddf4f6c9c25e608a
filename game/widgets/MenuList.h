#pragma once

#include "engine/core/Behavior.h"
#include "engine/core/Signal.h"
#include "engine/input/Joystick.h"
#include "engine/input/Keyboard.h"

#include <functional>
#include <vector>

namespace skyscuffle {

// The navigation every menu shares, whatever it shows: a list of entries
// counted from 0 with one of them selected. Up and Down (or the pad's
// directional pad) move the selection, going round at either end; Left and
// Right (the pad's too) change the selected entry, where it has something to
// change; Enter (A, Start) chooses it; Escape (B, Back) goes back, where the
// menu has somewhere to go. A move sounds "upDown", a change or a choice
// "click". While locked it ignores every key and button.
class MenuList : public kit::Behavior {
public:
    MenuList();

    // Listens to the keyboard and the joysticks of its world from here on.
    void initialize() override;

    void onKey(const kit::Keyboard::KeyInfo& key);
    void onButton(const kit::Joystick::ButtonInfo& button);

    // How many entries there are.
    [[nodiscard]] virtual int count() const = 0;

    int selected = 0; // 0 to count() - 1
    bool locked = false;

    // While set, key presses go here instead (a key being bound), until it
    // answers true: done with the keys. False (a key it refuses) keeps it
    // catching. It is unset while it runs, so it may set another in its place.
    // The pad is not heard meanwhile.
    std::function<bool(const kit::Keyboard::KeyInfo&)> catchKey;

protected:
    // What the entries do: choosing the entry at `index`; changing it by a
    // step of -1 or +1 (false: it has nothing to change); going back (false:
    // there is nowhere to go).
    virtual void choose(int index) = 0;
    virtual bool change(int /*index*/, int /*step*/) { return false; }
    virtual bool back() { return false; }

private:
    void move(int step);
    void changeSelected(int step);
    void chooseSelected();
    void play(const char* sound);

    std::vector<kit::ScopedConnection> connections_;
};

} // namespace skyscuffle
