#pragma once

#include "engine/core/Behavior.h"
#include "engine/core/Signal.h"
#include "engine/input/Joystick.h"
#include "engine/input/Keyboard.h"

#include <glm/vec2.hpp>

#include <functional>
#include <string>
#include <vector>

namespace kit {
class Text;
}

namespace skyscuffle {

// One line of a settings menu: a label, the value in force beside it, what
// Left and Right do to it (a step of -1 or +1) and what Enter does.
struct OptionRow {
    std::string label;
    std::function<std::string()> value;   // none: a line without a value (an action)
    std::function<void(int step)> change; // none: Left and Right do nothing here
    std::function<void()> choose;         // none: Enter steps the value on
};

// A menu of settings driven by keyboard and pad: Up and Down (or the pad's
// directional pad) choose a line, Left and Right change its value, Enter (A,
// Start) chooses it, Escape (B, Back) goes back. The chosen line is drawn in
// yellow with a marker; every value is shown as it stands each frame.
class OptionsMenu : public kit::Behavior {
public:
    OptionsMenu(std::vector<OptionRow> rows, std::vector<kit::Text*> labels, std::vector<kit::Text*> values,
                std::function<void()> back);

    void initialize() override;
    void update(float dt) override;

    void onKey(const kit::Keyboard::KeyInfo& key);
    void onButton(const kit::Joystick::ButtonInfo& button);

    // While set, key presses go here instead (a key being bound), until it
    // answers true: done with the keys. False (a key it refuses) keeps it
    // catching. It is unset while it runs, so it may set another in its place.
    std::function<bool(const kit::Keyboard::KeyInfo&)> catchKey;

    std::vector<OptionRow> rows;
    int selected = 0;

private:
    void move(int step);
    void change(int step);
    void choose();
    void play(const char* sound);

    std::vector<kit::Text*> labels_, values_;
    std::function<void()> back_;
    std::vector<kit::ScopedConnection> connections_;
};

// The menu's lines as text from `topLeft` down, `step` apart, values starting
// at `valueX`; returns the menu's behaviour.
OptionsMenu* addOptionsMenu(kit::World* world, std::vector<OptionRow> rows, glm::vec2 topLeft, float valueX,
                            float size, float step, std::function<void()> back);

} // namespace skyscuffle
