#include "PictureMenu.h"

#include "game/widgets/Overlay.h"

#include "game/common/Tags.h"

#include "engine/core/Label.h"
#include "engine/core/World.h"
#include "engine/physics/Transform.h"
#include "engine/render/Sprite.h"
#include "engine/resources/ResourceManagers.h"

namespace skyscuffle {

PictureMenu::PictureMenu(std::vector<MenuOption> options, std::vector<glm::vec2> positions)
    : options(std::move(options)), positions(std::move(positions))
{
    addClassTags<PictureMenu>("pictureMenu");
    this->positions.resize(this->options.size(), glm::vec2(0.0f));
}

void PictureMenu::update(float)
{
    if (selected < 0 || selected >= static_cast<int>(positions.size()))
        return;
    if (auto* transform = world->getComponent<kit::Transform>(entityId))
        transform->position = glm::vec3(positions[static_cast<std::size_t>(selected)], 0.0f);
}

void PictureMenu::choose(int index)
{
    option(index).select();
}

PictureMenu* addPictureMenu(kit::World* world, std::vector<MenuOption> options, std::vector<glm::vec2> positions,
                            float size)
{
    const glm::vec2 first = positions.empty() ? glm::vec2(0.0f) : positions.front();
    const kit::EntityHandle cursor = world->createEntity();
    world->emplaceComponent<kit::Transform>(cursor, glm::vec3(first, 0.0f));
    auto* menu = world->emplaceComponent<PictureMenu>(cursor, std::move(options), std::move(positions));

    const kit::EntityHandle picture = world->createEntity();
    world->emplaceComponent<kit::Transform>(picture, cursor, glm::vec3(0.0f, -cursorRaise, 0.0f));
    world->addComponent(picture, new kit::Label(tags::hudSpace));
    world->emplaceComponent<kit::Sprite>(picture, kit::textureManager().getHandle(menuCursorPicture), size, size,
                                         widgets::cursorLayer, true);
    return menu;
}

} // namespace skyscuffle
