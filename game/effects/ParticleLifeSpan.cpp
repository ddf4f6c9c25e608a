#include "ParticleLifeSpan.h"

#include "engine/core/World.h"
#include "engine/physics/Transform.h"
#include "engine/render/Model.h"

#include <algorithm>

namespace skyscuffle {

ParticleLifeSpan::ParticleLifeSpan(float life, float startScale, float endScale, float startAlpha, float endAlpha)
    : kit::LifeSpan(life), startScale(startScale), endScale(endScale), startAlpha(startAlpha), endAlpha(endAlpha)
{
    addClassTags<ParticleLifeSpan>("particleLifeSpan");
}

void ParticleLifeSpan::update(float dt)
{
    remaining -= dt;
    if (remaining < 0.0f) {
        world->destroyEntity(getEntity());
        return;
    }
    // 1 at birth, 0 at death.
    const float f = total > 0.0f ? std::clamp(remaining / total, 0.0f, 1.0f) : 0.0f;
    if (auto* transform = world->getComponent<kit::Transform>(entityId))
        transform->scale = glm::vec3(endScale + (startScale - endScale) * f);
    // Rising from nothing over the fade-in, if any: no jump to full opacity.
    const float age = total - remaining;
    const float rise = fadeIn > 0.0f ? std::clamp(age / fadeIn, 0.0f, 1.0f) : 1.0f;
    if (auto* model = world->getComponent<kit::Model>(entityId))
        model->setUniform("alpha", (endAlpha + (startAlpha - endAlpha) * f) * rise);
}

} // namespace skyscuffle
