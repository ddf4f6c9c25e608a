#pragma once

#include "game/widgets/MenuList.h"
#include "game/widgets/MenuOption.h"

#include <glm/vec2.hpp>

#include <vector>

namespace kit {
class World;
}

namespace skyscuffle {

// A menu of pictures (or words) with a cursor beside the one selected: every
// frame the menu's entity is placed at the cursor position of the option it
// is on, and Enter (A, Start) selects that option. Left, Right and Escape are
// not its to answer.
class PictureMenu : public MenuList {
public:
    // One cursor position per option, in the same order.
    PictureMenu(std::vector<MenuOption> options, std::vector<glm::vec2> positions);

    void update(float dt) override;

    [[nodiscard]] int count() const override { return static_cast<int>(options.size()); }
    // Counted from 0, as `selected` is.
    [[nodiscard]] MenuOption& option(int index) { return options[static_cast<std::size_t>(index)]; }

    std::vector<MenuOption> options;
    std::vector<glm::vec2> positions;

protected:
    void choose(int index) override;
};

// How far above the middle of its option a cursor position lies: the
// cursor's picture hangs this far below the menu's entity.
inline constexpr float cursorRaise = 0.09f;
// Every menu cursor's picture, and its width and height where a menu does not say.
inline constexpr const char* menuCursorPicture = "sprites/menu/Cursor.png";
inline constexpr float menuCursorSize = 0.14f;

// A picture menu: an entity with the PictureMenu over the options and, on a
// child entity cursorRaise below it, the cursor's picture
// ("sprites/menu/Cursor.png"). `size` is the picture's width and height in
// overlay units.
PictureMenu* addPictureMenu(kit::World* world, std::vector<MenuOption> options, std::vector<glm::vec2> positions,
                            float size = menuCursorSize);

} // namespace skyscuffle
