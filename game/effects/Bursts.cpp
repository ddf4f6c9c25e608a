#include "Bursts.h"

#include "EffectSettings.h"

#include "game/effects/ParticleBudget.h"
#include "game/effects/Particles.h"

#include "game/common/Random.h"

#include <glm/geometric.hpp>

#include <algorithm>
#include <cmath>
#include <string>

namespace skyscuffle {

namespace {

// How strongly an impact's particles follow its direction (0: not at all).
constexpr float impactAim = 1.5f;

// Under calmer flashes a burst comes in at half opacity over a tenth of a
// second and fades to nothing over its life, instead of appearing at full.
constexpr float calmAlpha = 0.5f;
constexpr float calmFadeIn = 0.1f; // seconds

int burst(kit::World& world, const effectSettings::Burst& kind, glm::vec3 position, glm::vec3 tint, glm::vec3 aim = {})
{
    // The count is a float in the tuning file: its whole part, 1,000 at most.
    const float count = kind.count.value();
    const int wanted = count >= 1.0f ? static_cast<int>(std::min(std::floor(count), 1000.0f)) : 0;
    // Near the world's ceiling a burst thins out to fewer, larger particles.
    const ParticleBudget::Grant granted = ParticleBudget::grant(world, wanted);
    const bool calm = effectSettings::calmerFlashes;
    for (int i = 0; i < granted.count; ++i) {
        ParticleSpec spec;
        spec.position = position;
        glm::vec3 direction = Random::direction();
        if (aim != glm::vec3(0.0f))
            direction = glm::normalize(direction + aim * impactAim);
        spec.velocity = direction * kind.velocity.value();
        spec.life = kind.lifespan;
        spec.startScale = Random::between(kind.minScale, kind.maxScale) * granted.scale;
        spec.endScale = 0.0f;
        spec.startAlpha = calm ? calmAlpha : 1.0f;
        spec.endAlpha = calm ? 0.0f : 1.0f;
        spec.fadeIn = calm ? calmFadeIn : 0.0f;
        spec.tint = tint;
        spec.texture = kind.texture;
        spawnParticle(world, spec);
    }
    return granted.count;
}

} // namespace

int explosionBurst(kit::World& world, glm::vec3 position)
{
    return burst(world, effectSettings::explosion, position, glm::vec3(1.0f));
}

int powerPickupBurst(kit::World& world, glm::vec3 position, glm::vec3 tint)
{
    return burst(world, effectSettings::powerPickup, position, tint);
}

int healthBurst(kit::World& world, glm::vec3 position)
{
    return burst(world, effectSettings::health, position, glm::vec3(1.0f));
}

int impactBurst(kit::World& world, glm::vec3 position, glm::vec3 direction, glm::vec3 tint)
{
    const float length = glm::length(direction);
    const glm::vec3 aim = length > 1e-6f ? direction / length : glm::vec3(0.0f);
    return burst(world, effectSettings::impact, position, tint, aim);
}

} // namespace skyscuffle
