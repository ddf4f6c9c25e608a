#include "SideviewCameraBehavior.h"

#include "engine/core/SettingsEntry.h"
#include "engine/core/World.h"
#include "engine/physics/Body.h"
#include "engine/physics/Transform.h"

#include <algorithm>

SideviewCameraBehavior::SideviewCameraBehavior(std::string focusLabel) : focusLabel(std::move(focusLabel))
{
    addClassTags<SideviewCameraBehavior>("sideviewCameraBehavior");
}

void SideviewCameraBehavior::update(float)
{
    static kit::SettingsEntry<float> targetLeading("tuning.camera.targetLeading", 0.5f);
    static kit::SettingsEntry<float> minDistance("tuning.camera.minDistance", 25.0f);

    kit::Transform* own = world->getComponent<kit::Transform>(entityId);
    if (!own)
        return;
    const float aspect = own->scale.y != 0.0f ? own->scale.x / own->scale.y : 1.0f;

    bool any = false;
    glm::vec2 low(0.0f), high(0.0f);
    auto widen = [&](glm::vec2 p) {
        if (!any) {
            low = high = p;
            any = true;
        } else {
            low = glm::min(low, p);
            high = glm::max(high, p);
        }
    };
    kit::EntityCollection* focused = world->getEntities(kit::tagId(focusLabel));
    for (auto it = focused->begin(); it != focused->end(); ++it) {
        const kit::EntityID id = (*it).id;
        const kit::Transform* transform = world->getComponent<kit::Transform>(id);
        if (!transform)
            continue;
        const glm::vec3 p = transform->worldPosition();
        widen(glm::vec2(p));
        if (const kit::Body* body = world->getComponent<kit::Body>(id))
            widen(glm::vec2(p + body->velocity * targetLeading.value));
    }

    const glm::vec2 centre = (low + high) * 0.5f;
    const float wide = aspect > 0.0f ? (high.x - low.x) / aspect : 0.0f;
    const float tall = high.y - low.y;
    const float distance = std::max(wide > tall ? wide : tall, minDistance.value);
    own->position = glm::vec3(centre, distance);
}
