#include "AspectMatcher.h"

#include "engine/core/Window.h"
#include "engine/core/World.h"
#include "engine/physics/Transform.h"

namespace kit {

AspectMatcher::AspectMatcher()
{
    addTag(tagId("renderer"));
    addClassTags<AspectMatcher>("aspectMatcher");
    setRenderPriority(-100.0f);
}

void AspectMatcher::render(float)
{
    Transform* transform = world->getComponent<Transform>(entityId);
    if (!transform || !world->window)
        return;
    const glm::ivec2 size = world->window->size();
    if (size.y <= 0)
        return; // minimised: keep the last shape
    transform->scale.x = static_cast<float>(size.x) / static_cast<float>(size.y) * transform->scale.y;
}

} // namespace kit
