#include "HealthBar.h"

#include "game/combat/Health.h"

#include "engine/core/World.h"
#include "engine/render/Model.h"

#include <algorithm>

namespace skyscuffle {

HealthBar::HealthBar(kit::EntityHandle plane) : plane(plane)
{
    addClassTags<HealthBar>("healthBar");
}

void HealthBar::update(float)
{
    const Health* watched = world->getComponent<Health>(plane.id);
    auto* model = world->getComponent<kit::Model>(entityId);
    if (!watched || !model)
        return;
    health = watched->currentHealth;
    const float fraction = watched->maxHealth > 0.0f ? health / watched->maxHealth : 0.0f;
    model->setUniform("value", std::clamp(fraction, 0.0f, 1.0f));
}

} // namespace skyscuffle
