#pragma once

#include "engine/physics/LifeSpan.h"

namespace skyscuffle {

// A particle's life: its entity is destroyed when the life runs out, and on
// the way its scale and opacity move from their values at birth to those at
// death (linearly in the time left). With a fade-in the opacity also rises
// from nothing over its first seconds.
class ParticleLifeSpan : public kit::LifeSpan {
public:
    ParticleLifeSpan(float life, float startScale, float endScale, float startAlpha, float endAlpha);

    void update(float dt) override;

    float startScale;
    float endScale;
    float startAlpha;
    float endAlpha;
    float fadeIn = 0.0f; // seconds
};

} // namespace skyscuffle
