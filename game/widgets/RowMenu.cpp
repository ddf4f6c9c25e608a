#include "RowMenu.h"
#include "TextFit.h"

#include "game/widgets/Overlay.h"
#include "game/widgets/Panel.h"

#include "engine/core/World.h"
#include "engine/render/Text.h"

namespace skyscuffle {

namespace {

const glm::vec3 plainColour(1.0f);

} // namespace

RowMenu::RowMenu(std::vector<MenuRow> rows, std::vector<kit::Text*> labels, std::vector<kit::Text*> values,
                 std::function<void()> back)
    : rows(std::move(rows)), labels_(std::move(labels)), values_(std::move(values)), back_(std::move(back))
{
    addClassTags<RowMenu>("rowMenu");
}

void RowMenu::update(float)
{
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const bool chosen = static_cast<int>(i) == selected;
        if (i < labels_.size() && labels_[i]) {
            widgets::setText(labels_[i], (chosen ? "> " : "  ") + rows[i].label);
            labels_[i]->colour = chosen ? widgets::titleColour : plainColour;
        }
        if (i < values_.size() && values_[i] && rows[i].value) {
            widgets::setText(values_[i], rows[i].value());
            values_[i]->colour = chosen ? widgets::titleColour : plainColour;
        }
    }
}

void RowMenu::choose(int index)
{
    MenuRow& row = rows[static_cast<std::size_t>(index)];
    if (row.choose)
        row.choose();
    else if (row.change)
        row.change(1);
}

bool RowMenu::change(int index, int step)
{
    MenuRow& row = rows[static_cast<std::size_t>(index)];
    if (!row.change)
        return false;
    row.change(step);
    return true;
}

bool RowMenu::back()
{
    if (!back_)
        return false;
    back_();
    return true;
}

RowMenu* addRowMenu(kit::World* world, std::vector<MenuRow> rows, const RowLayout& layout, std::function<void()> back)
{
    std::vector<kit::Text*> labels, values;
    float y = layout.topLeft.y;
    for (const MenuRow& row : rows) {
        labels.push_back(widgets::addText(world, "  " + row.label, glm::vec2(layout.topLeft.x, y), layout.size));
        values.push_back(row.value ? widgets::addText(world, "", glm::vec2(layout.valueX, y), layout.size) : nullptr);
        if (layout.right != 0.0f) {
            const bool beforeValue = row.value && layout.valueX > layout.topLeft.x;
            widgets::fitWithin(labels.back(), beforeValue ? layout.valueX : layout.right);
            if (values.back())
                widgets::fitWithin(values.back(), layout.right);
        }
        y -= layout.step;
    }
    auto* menu = world->emplaceComponent<RowMenu>(world->createEntity(), std::move(rows), std::move(labels),
                                                  std::move(values), std::move(back));
    menu->update(0.0f);
    return menu;
}

} // namespace skyscuffle
