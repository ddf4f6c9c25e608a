#pragma once

#include "game/screens/MenuOption.h"

#include "engine/core/Behavior.h"
#include "engine/core/Signal.h"
#include "engine/input/Joystick.h"
#include "engine/input/Keyboard.h"

#include <glm/vec2.hpp>

#include <vector>

namespace kit {
class World;
}

namespace skyscuffle {

// Moves between the options of a menu and chooses one. Up and Down (or the
// joystick's directional pad) step through the options, wrapping at either
// end; Enter (or the joystick's A or Start) chooses. Every frame the cursor's
// entity is placed at the cursor position of the option it is on.
class Cursor : public kit::Behavior {
public:
    // One cursor position per option, in the same order.
    Cursor(std::vector<MenuOption> options, std::vector<glm::vec2> positions);

    // Listens to the keyboard and the joysticks of its world from here on.
    void initialize() override;
    void update(float dt) override;

    void onKey(const kit::Keyboard::KeyInfo& key);
    void onButton(const kit::Joystick::ButtonInfo& button);

    [[nodiscard]] MenuOption& option(int number) { return options[static_cast<std::size_t>(number - 1)]; }

    std::vector<MenuOption> options;
    std::vector<glm::vec2> positions;
    int selected = 1; // 1 to optionCount
    int optionCount;
    bool locked = false; // input is ignored while set

private:
    void moveUp();
    void moveDown();
    void choose();
    void wrap();
    void play(const char* sound);

    std::vector<kit::ScopedConnection> connections_;
};

// How far above the middle of its option a cursor position lies: the
// cursor's picture hangs this far below the cursor's entity.
inline constexpr float cursorRaise = 0.09f;
// Every menu cursor's picture.
inline constexpr const char* menuCursorPicture = "sprites/menu/Cursor.png";

// A menu's cursor: an entity with the Cursor over the options and, on a child
// entity cursorRaise below it, the cursor's picture ("sprites/menu/Cursor.png").
// `size` is the picture's width and height in overlay units.
Cursor* addMenuCursor(kit::World* world, std::vector<MenuOption> options, std::vector<glm::vec2> positions,
                      float size = 0.14f);

} // namespace skyscuffle
