#include "SideviewCameraBehavior.h"

#include "CameraSettings.h"

#include "engine/core/World.h"
#include "engine/network/stream/Received.h"
#include "engine/physics/Body.h"
#include "engine/physics/Transform.h"

#include <glm/common.hpp>

#include <algorithm>

namespace skyscuffle {

SideviewCameraBehavior::SideviewCameraBehavior(std::string focusLabel) : focusLabel(std::move(focusLabel))
{
    addClassTags<SideviewCameraBehavior>("sideviewCameraBehavior");
}

void SideviewCameraBehavior::update(float)
{
    kit::Transform* own = world->getComponent<kit::Transform>(entityId);
    if (!own)
        return;
    const float aspect = own->scale.y != 0.0f ? own->scale.x / own->scale.y : 1.0f;

    bool any = false;
    glm::vec2 low(0.0f), high(0.0f);
    auto widen = [&](glm::vec2 p) {
        if (within)
            p = glm::clamp(p, within->low, within->high);
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
        // A focus that is not where anything can be (not a number, or out of
        // all proportion) is left out: one broken entity must not blank the view.
        const glm::vec3 p = transform->worldPosition();
        if (!kit::received::within(p, kit::received::limit))
            continue;
        widen(glm::vec2(p));
        if (const kit::Body* body = world->getComponent<kit::Body>(id)) {
            const glm::vec3 ahead = p + body->velocity * cameraSettings::targetLeading.value();
            if (kit::received::within(ahead, kit::received::limit))
                widen(glm::vec2(ahead));
        }
    }

    const glm::vec2 centre = (low + high) * 0.5f;
    const float wide = aspect > 0.0f ? (high.x - low.x) / aspect : 0.0f;
    const float tall = high.y - low.y;
    const float distance = std::max(wide > tall ? wide : tall, cameraSettings::minDistance.value());
    const glm::vec3 target(centre, distance);
    if (kit::received::finite(target))
        own->position = target;
}

} // namespace skyscuffle
