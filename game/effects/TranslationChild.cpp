#include "TranslationChild.h"

#include "engine/core/World.h"
#include "engine/physics/Transform.h"

namespace skyscuffle {

TranslationChild::TranslationChild(kit::EntityHandle followed) : followed(followed)
{
    addClassTags<TranslationChild>("translationChild");
}

void TranslationChild::update(float)
{
    const kit::Transform* leader = world->getComponent<kit::Transform>(followed.id);
    if (!leader) {
        world->destroyEntity(getEntity());
        return;
    }
    if (auto* own = world->getComponent<kit::Transform>(entityId))
        own->position = leader->worldPosition();
}

} // namespace skyscuffle
