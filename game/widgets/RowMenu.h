#pragma once

#include "game/widgets/MenuList.h"
#include "game/widgets/ScrollBar.h"

#include <glm/vec2.hpp>

#include <functional>
#include <string>
#include <vector>

namespace kit {
class Text;
class World;
} // namespace kit

namespace skyscuffle {

// One line of a settings menu: a label, the value in force beside it, what
// Left and Right do to it (a step of -1 or +1) and what Enter does.
struct MenuRow {
    std::string label;
    std::function<std::string()> value;   // none: a line without a value (an action)
    std::function<void(int step)> change; // none: Left and Right do nothing here
    std::function<void()> choose;         // none: Enter steps the value on
};

// A menu of settings shown as lines of text: the selected line is drawn in
// yellow with a marker; every value is shown as it stands each frame. Escape
// (B, Back) runs `back`. With more lines than its room holds (large words),
// it shows `shown` of them at a time, scrolled to keep the selected line in
// view, with a bar at its right edge telling where the view is.
class RowMenu : public MenuList {
public:
    RowMenu(std::vector<MenuRow> rows, std::vector<kit::Text*> labels, std::vector<kit::Text*> values,
            std::function<void()> back);

    void update(float dt) override;

    [[nodiscard]] int count() const override { return static_cast<int>(rows.size()); }
    // The first line in view.
    [[nodiscard]] int firstShown() const { return bar.first; }

    std::vector<MenuRow> rows;
    float step = 0.0f; // the distance from one line down to the next
    // The view and its bar, when the lines are more than their room holds
    // (bar.shown 0: every line in view, no bar).
    widgets::ScrollBar bar;

protected:
    void choose(int index) override;
    bool change(int index, int step) override;
    bool back() override;

private:
    void scroll();

    std::vector<kit::Text*> labels_, values_;
    std::function<void()> back_;
    bool laidOut_ = false; // the lines placed for the view at least once
};

// Where a row menu's lines go: the first line's start and bottom, the
// distance down to the next, where the values start, and the text's height.
struct RowLayout {
    glm::vec2 topLeft{0.0f};
    float step = 0.1f;
    float valueX = 0.0f;
    float size = 0.05f;
    // Where the values end (their words shrink to fit before it, as the
    // labels do before the values); 0: no end.
    float right = 0.0f;
    // The lowest a line's bottom may be: with more lines than fit above it,
    // the menu scrolls. Below -1 (the window's foot): no limit.
    float bottom = -2.0f;

    // How many lines fit between the first line and `bottom`.
    [[nodiscard]] int fitting() const;

    // The bottom of line `index`.
    [[nodiscard]] float lineY(int index) const { return topLeft.y - step * static_cast<float>(index); }
};

// The menu's lines as text laid out as `layout` says; returns the menu's behaviour.
RowMenu* addRowMenu(kit::World* world, std::vector<MenuRow> rows, const RowLayout& layout, std::function<void()> back);

} // namespace skyscuffle
