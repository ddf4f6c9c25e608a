#include "AspectTranslation.h"

#include "engine/core/Window.h"
#include "engine/core/World.h"
#include "engine/physics/Transform.h"

namespace kit {

AspectTranslation::AspectTranslation(glm::vec3 offset) : offset(offset)
{
    addTag(tagId("renderer"));
    addClassTags<AspectTranslation>("aspectTranslation");
    setRenderPriority(-100.0f);
}

void AspectTranslation::render(float)
{
    Transform* transform = world->getComponent<Transform>(entityId);
    if (!transform || !world->window)
        return;
    const glm::ivec2 size = world->window->size();
    if (size.y <= 0)
        return; // minimised: keep the last position
    const float aspect = static_cast<float>(size.x) / static_cast<float>(size.y);
    transform->position = glm::vec3(aspect * offset.x, offset.y, offset.z);
}

} // namespace kit
