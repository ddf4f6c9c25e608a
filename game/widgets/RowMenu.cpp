#include "RowMenu.h"
#include "TextFit.h"

#include "game/widgets/Overlay.h"
#include "game/widgets/Panel.h"

#include "engine/core/World.h"
#include "engine/physics/Transform.h"
#include "engine/render/Text.h"

#include <algorithm>
#include <cmath>

namespace skyscuffle {

namespace {

const glm::vec3 plainColour(1.0f);
// The scroll bar's width, and its room at the right of the values.
constexpr float barWidth = 0.04f;
constexpr float barRoom = 0.05f;

} // namespace

int RowLayout::fitting() const
{
    if (bottom < -1.0f || step <= 0.0f)
        return 1 << 20;
    return std::max(1, static_cast<int>(std::floor((topLeft.y - bottom) / step + 1e-3f)) + 1);
}

RowMenu::RowMenu(std::vector<MenuRow> rows, std::vector<kit::Text*> labels, std::vector<kit::Text*> values,
                 std::function<void()> back)
    : rows(std::move(rows)), labels_(std::move(labels)), values_(std::move(values)), back_(std::move(back))
{
    addClassTags<RowMenu>("rowMenu");
}

void RowMenu::update(float)
{
    scroll();
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

void RowMenu::scroll()
{
    const int total = count();
    if (bar.shown <= 0 || bar.shown >= total)
        return;
    if (!bar.follow(selected) && laidOut_)
        return;
    laidOut_ = true;
    // Every line moves up by the lines scrolled past; those out of view hide.
    for (int i = 0; i < total; ++i) {
        for (kit::Text* text : {labels_[static_cast<std::size_t>(i)], values_[static_cast<std::size_t>(i)]}) {
            if (!text)
                continue;
            if (auto* place = world->getComponent<kit::Transform>(text->entityId))
                place->position.y = step * static_cast<float>(bar.first);
            widgets::showDrawn(*world, text->getEntity(), bar.inView(i));
        }
    }
    bar.placeThumb(*world);
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
    const int total = static_cast<int>(rows.size());
    const bool scrolls = layout.fitting() < total;
    // A scrolling menu keeps the bar's room at its right.
    const float right = scrolls && layout.right != 0.0f ? layout.right - barRoom : layout.right;
    float y = layout.topLeft.y;
    for (const MenuRow& row : rows) {
        labels.push_back(widgets::addText(world, "  " + row.label, glm::vec2(layout.topLeft.x, y), layout.size));
        values.push_back(row.value ? widgets::addText(world, "", glm::vec2(layout.valueX, y), layout.size) : nullptr);
        if (right != 0.0f) {
            const bool beforeValue = row.value && layout.valueX > layout.topLeft.x;
            widgets::fitWithin(labels.back(), beforeValue ? layout.valueX : right);
            if (values.back())
                widgets::fitWithin(values.back(), right);
        }
        y -= layout.step;
    }
    auto* menu = world->emplaceComponent<RowMenu>(world->createEntity(), std::move(rows), std::move(labels),
                                                  std::move(values), std::move(back));
    menu->step = layout.step;
    if (scrolls) {
        const float x = (layout.right != 0.0f ? layout.right : layout.valueX + 1.0f) - barWidth * 0.5f;
        menu->bar = widgets::addScrollBar(world, x, barWidth, layout.topLeft.y + layout.size,
                                          layout.lineY(layout.fitting() - 1), total, layout.fitting());
    }
    menu->update(0.0f);
    return menu;
}

} // namespace skyscuffle
