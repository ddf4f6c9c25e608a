#include "ShadowOfObject.h"

#include "engine/core/World.h"
#include "engine/physics/Transform.h"
#include "engine/render/Model.h"

#include <algorithm>
#include <cmath>

namespace skyscuffle {

ShadowOfObject::ShadowOfObject(kit::EntityHandle object) : object(object)
{
    addClassTags<ShadowOfObject>("shadowOfObject");
}

void ShadowOfObject::update(float)
{
    const kit::Transform* caster = world->getComponent<kit::Transform>(object.id);
    if (!caster) {
        world->destroyEntity(getEntity()); // its plane is gone
        return;
    }
    kit::Transform* own = world->getComponent<kit::Transform>(entityId);
    if (!own)
        return;
    const glm::vec3 at = caster->worldPosition();
    const float h = std::abs(at.y - groundHeight) / fadeHeight;
    own->position = glm::vec3(at.x, groundHeight, at.z);
    own->scale = glm::vec3(std::max(10.0f - 9.0f * h, 0.0f));
    if (auto* model = world->getComponent<kit::Model>(entityId))
        model->setUniform("alpha", std::abs(h - 1.0f));
}

} // namespace skyscuffle
