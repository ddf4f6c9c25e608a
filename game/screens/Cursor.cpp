#include "Cursor.h"

#include "game/screens/ScreenKeys.h"
#include "game/screens/ScreenScene.h"

#include "game/sound/SoundManager.h"
#include "game/common/Tags.h"

#include "engine/core/Label.h"
#include "engine/core/Log.h"
#include "engine/core/World.h"
#include "engine/input/JoystickManager.h"
#include "engine/input/Keys.h"
#include "engine/physics/Transform.h"
#include "engine/render/Sprite.h"
#include "engine/resources/ResourceManagers.h"

namespace skyscuffle {

Cursor::Cursor(std::vector<MenuOption> options, std::vector<glm::vec2> positions)
    : options(std::move(options)), positions(std::move(positions)), optionCount(static_cast<int>(this->options.size()))
{
    addClassTags<Cursor>("cursor");
    this->positions.resize(this->options.size(), glm::vec2(0.0f));
}

void Cursor::initialize()
{
    if (world->keyboard)
        connections_.emplace_back(
            world->keyboard->keyPressed.connect([this](kit::Keyboard::KeyInfo key) { onKey(key); }));
    if (world->joysticks)
        connections_.emplace_back(
            world->joysticks->buttonPressed.connect([this](kit::Joystick::ButtonInfo b) { onButton(b); }));
}

void Cursor::update(float)
{
    if (selected < 1 || selected > static_cast<int>(positions.size()))
        return;
    if (auto* transform = world->getComponent<kit::Transform>(entityId))
        transform->position = glm::vec3(positions[static_cast<std::size_t>(selected - 1)], 0.0f);
}

void Cursor::onKey(const kit::Keyboard::KeyInfo& key)
{
    if (locked || optionCount == 0)
        return;
    if (key.key == kit::keys::up) {
        moveUp();
        play("upDown");
    } else if (key.key == kit::keys::down) {
        moveDown();
        play("upDown");
    } else if (screens::isEnter(key)) {
        choose();
        play("click");
    }
    wrap();
}

void Cursor::onButton(const kit::Joystick::ButtonInfo& button)
{
    if (locked || optionCount == 0)
        return;
    if (button.button == kit::pad::up)
        moveUp();
    else if (button.button == kit::pad::down)
        moveDown();
    else if (button.button == kit::pad::a || button.button == kit::pad::start)
        choose();
    wrap();
}

void Cursor::moveUp()
{
    kit::log::info() << "Position Moved Up";
    --selected;
}

void Cursor::moveDown()
{
    kit::log::info() << "Position Moved Down";
    ++selected;
}

void Cursor::choose()
{
    wrap();
    option(selected).select();
}

void Cursor::wrap()
{
    if (selected < 1)
        selected = optionCount;
    if (selected > optionCount)
        selected = 1;
}

void Cursor::play(const char* sound)
{
    if (SoundManager* sounds = SoundManager::of(world))
        sounds->play(sound);
}

Cursor* addMenuCursor(kit::World* world, std::vector<MenuOption> options, std::vector<glm::vec2> positions, float size)
{
    const glm::vec2 first = positions.empty() ? glm::vec2(0.0f) : positions.front();
    const kit::EntityHandle cursor = world->createEntity();
    world->emplaceComponent<kit::Transform>(cursor, glm::vec3(first, 0.0f));
    auto* behaviour = world->emplaceComponent<Cursor>(cursor, std::move(options), std::move(positions));

    const kit::EntityHandle picture = world->createEntity();
    world->emplaceComponent<kit::Transform>(picture, cursor, glm::vec3(0.0f, -cursorRaise, 0.0f));
    world->addComponent(picture, new kit::Label(tags::hudSpace));
    world->emplaceComponent<kit::Sprite>(picture, kit::textureManager().getHandle(menuCursorPicture), size, size,
                                         screens::cursorLayer, true);
    return behaviour;
}

} // namespace skyscuffle
