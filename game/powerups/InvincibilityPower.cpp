#include "InvincibilityPower.h"

#include "PowerSettings.h"

#include "engine/core/World.h"
#include "engine/physics/Transform.h"
#include "engine/render/Model.h"

#include <cmath>

namespace skyscuffle {

InvincibilityPower::InvincibilityPower()
{
    timeLeft = powerSettings::invincibilityDuration;
    const float flashRate = powerSettings::invincibilityFlashRate;
    flashPeriod = flashRate > 0.0f ? flashRate : 0.25f;
    addClassTags<InvincibilityPower>("invincibilityPower");
}

void InvincibilityPower::initialize()
{
    world->destroyComponents(entityId, kit::typeId<InvincibilityPower>());
}

void InvincibilityPower::update(float dt)
{
    timeLeft -= dt;
    if (timeLeft <= 0.0f) {
        delete world->removeComponent(this);
        return;
    }
    // Shown for the first flash period, hidden for the next, and so on down
    // to zero: (2, 1.75] shown, (1.75, 1.5] hidden with the defaults.
    const bool visible = static_cast<long>(std::ceil(timeLeft / flashPeriod)) % 2 == 0;
    if (visible != shown)
        show(visible);
}

void InvincibilityPower::onRemoved()
{
    show(true);
}

void InvincibilityPower::show(bool visible)
{
    shown = visible;
    if (auto* model = world->getComponent<kit::Model>(entityId))
        model->enabled = visible;
    if (const auto* transform = world->getComponent<kit::Transform>(entityId)) {
        for (const kit::EntityHandle& child : transform->children) {
            if (auto* model = world->getComponent<kit::Model>(child.id))
                model->enabled = visible;
        }
    }
}

} // namespace skyscuffle
