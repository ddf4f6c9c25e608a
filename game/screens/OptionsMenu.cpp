#include "OptionsMenu.h"

#include "game/screens/ScreenKeys.h"
#include "game/screens/ScreenScene.h"

#include "game/sound/SoundManager.h"

#include "engine/core/World.h"
#include "engine/input/JoystickManager.h"
#include "engine/input/Keys.h"
#include "engine/render/Text.h"

namespace skyscuffle {

namespace {

const glm::vec3 chosenColour(1.0f, 0.85f, 0.25f);
const glm::vec3 plainColour(1.0f);

} // namespace

OptionsMenu::OptionsMenu(std::vector<OptionRow> rows, std::vector<kit::Text*> labels, std::vector<kit::Text*> values,
                         std::function<void()> back)
    : rows(std::move(rows)), labels_(std::move(labels)), values_(std::move(values)), back_(std::move(back))
{
    addClassTags<OptionsMenu>("optionsMenu");
}

void OptionsMenu::initialize()
{
    if (world->keyboard)
        connections_.emplace_back(
            world->keyboard->keyPressed.connect([this](kit::Keyboard::KeyInfo key) { onKey(key); }));
    if (world->joysticks)
        connections_.emplace_back(
            world->joysticks->buttonPressed.connect([this](kit::Joystick::ButtonInfo b) { onButton(b); }));
}

void OptionsMenu::update(float)
{
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const bool chosen = static_cast<int>(i) == selected;
        if (i < labels_.size() && labels_[i]) {
            screens::setText(labels_[i], (chosen ? "> " : "  ") + rows[i].label);
            labels_[i]->colour = chosen ? chosenColour : plainColour;
        }
        if (i < values_.size() && values_[i] && rows[i].value) {
            screens::setText(values_[i], rows[i].value());
            values_[i]->colour = chosen ? chosenColour : plainColour;
        }
    }
}

void OptionsMenu::onKey(const kit::Keyboard::KeyInfo& key)
{
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
        change(-1);
    else if (key.key == kit::keys::right)
        change(1);
    else if (screens::isEnter(key))
        choose();
    else if (key.key == kit::keys::escape && back_)
        back_();
}

void OptionsMenu::onButton(const kit::Joystick::ButtonInfo& button)
{
    if (catchKey)
        return; // a key is being bound: only the keyboard answers
    if (button.button == kit::pad::up)
        move(-1);
    else if (button.button == kit::pad::down)
        move(1);
    else if (button.button == kit::pad::left)
        change(-1);
    else if (button.button == kit::pad::right)
        change(1);
    else if (button.button == kit::pad::a || button.button == kit::pad::start)
        choose();
    else if ((button.button == kit::pad::b || button.button == kit::pad::back) && back_)
        back_();
}

void OptionsMenu::move(int step)
{
    const int count = static_cast<int>(rows.size());
    if (count == 0)
        return;
    selected = ((selected + step) % count + count) % count;
    play("upDown");
}

void OptionsMenu::change(int step)
{
    if (selected < 0 || selected >= static_cast<int>(rows.size()) || !rows[static_cast<std::size_t>(selected)].change)
        return;
    rows[static_cast<std::size_t>(selected)].change(step);
    play("click");
}

void OptionsMenu::choose()
{
    if (selected < 0 || selected >= static_cast<int>(rows.size()))
        return;
    OptionRow& row = rows[static_cast<std::size_t>(selected)];
    play("click");
    // Copies: choosing may switch screens, and this menu goes with its world.
    if (row.choose)
        row.choose();
    else if (row.change)
        row.change(1);
}

void OptionsMenu::play(const char* sound)
{
    if (SoundManager* sounds = SoundManager::of(world))
        sounds->play(sound);
}

OptionsMenu* addOptionsMenu(kit::World* world, std::vector<OptionRow> rows, glm::vec2 topLeft, float valueX,
                            float size, float step, std::function<void()> back)
{
    std::vector<kit::Text*> labels, values;
    float y = topLeft.y;
    for (const OptionRow& row : rows) {
        labels.push_back(screens::addText(world, "  " + row.label, glm::vec2(topLeft.x, y), size));
        values.push_back(row.value ? screens::addText(world, "", glm::vec2(valueX, y), size) : nullptr);
        y -= step;
    }
    auto* menu = world->emplaceComponent<OptionsMenu>(world->createEntity(), std::move(rows), std::move(labels),
                                                       std::move(values), std::move(back));
    menu->update(0.0f);
    return menu;
}

} // namespace skyscuffle
