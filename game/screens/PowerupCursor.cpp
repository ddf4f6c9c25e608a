#include "PowerupCursor.h"

#include "engine/core/World.h"
#include "engine/physics/Transform.h"
#include "engine/render/Model.h"
#include "engine/resources/Material.h"
#include "engine/resources/ResourceManagers.h"

namespace skyscuffle {

PowerupCursor::PowerupCursor(std::vector<MenuOption> options, std::vector<glm::vec2> positions)
    : PictureMenu(std::move(options), std::move(positions))
{
    addClassTags<PowerupCursor>("powerupCursor");
}

void PowerupCursor::activate()
{
    if (!enabled)
        return;
    on = !on;
    cursorFlag = !cursorFlag;
    show();
}

void PowerupCursor::show()
{
    kit::Model* model = world->getComponent<kit::Model>(entityId);
    if (!model) {
        if (const auto* transform = world->getComponent<kit::Transform>(entityId)) {
            for (const kit::EntityHandle& child : transform->children) {
                if ((model = world->getComponent<kit::Model>(child.id)))
                    break;
            }
        }
    }
    if (!model)
        return;
    const auto picture = kit::textureManager().prefetch(on ? "sprites/menu/gameplay/powerupCursorOn.png"
                                                           : "sprites/menu/gameplay/powerupCursorOff.png");
    if (!model->material) {
        model->material = std::make_shared<kit::Material>();
        model->material->setShaderProgram(kit::shaderProgramManager().prefetch("shaders/flatShader.txt"));
    }
    model->material->setTexture("diffuseTex", picture);
}

} // namespace skyscuffle
