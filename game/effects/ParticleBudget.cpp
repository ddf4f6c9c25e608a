#include "ParticleBudget.h"

#include "EffectSettings.h"

#include "game/effects/ParticleLifeSpan.h"

#include "game/common/Random.h"

#include "engine/core/World.h"

#include <algorithm>
#include <cmath>

namespace skyscuffle {

ParticleBudget::Limits ParticleBudget::tuned()
{
    return Limits{effectSettings::maxAlive.value(), effectSettings::maxPerFrame.value(),
                  effectSettings::perSecond.value()};
}

ParticleBudget* ParticleBudget::of(kit::World* world)
{
    return world ? world->single<ParticleBudget>() : nullptr;
}

ParticleBudget::Grant ParticleBudget::grant(kit::World& world, int wanted)
{
    if (ParticleBudget* budget = of(&world))
        return budget->grant(wanted);
    return Grant{std::max(wanted, 0), 1.0f};
}

ParticleBudget::ParticleBudget(Limits limits) : limits(limits), allowance_(limits.perFrame)
{
    addClassTags<ParticleBudget>("particleBudget");
    // Before everything that makes particles: a frame's particles draw on
    // what the frame's time added.
    setUpdatePriority(-100.0f);
}

void ParticleBudget::update(float dt)
{
    if (dt > 0.0f)
        allowance_ = std::min(allowance_ + dt * limits.perSecond, limits.perFrame);
}

ParticleBudget::Grant ParticleBudget::grant(int wanted)
{
    if (wanted <= 0 || !world)
        return Grant{};
    const float alive = static_cast<float>(world->getEntities(kit::typeId<ParticleLifeSpan>())->size());
    // All of it below half the ceiling, then a share that falls to nothing at it.
    const float share = std::clamp((limits.alive - alive) / (0.5f * limits.alive), 0.0f, 1.0f);
    const float room = std::min(limits.alive - alive, allowance_);
    // What the burst keeps on average: the particles left larger by as much.
    const float kept = std::min(static_cast<float>(wanted) * share, room);
    float count = static_cast<float>(wanted);
    if (share < 1.0f) {
        // Rounded at random, so that single particles (a trail's) thin out
        // in proportion too. Only then: an honest match draws no extra
        // random numbers and replays as before.
        count = std::floor(count * share + Random::uniform());
    }
    count = std::floor(std::min(count, room));
    const int granted = count > 0.0f ? static_cast<int>(count) : 0;
    allowance_ -= static_cast<float>(granted);
    leftOut_ += wanted - granted;
    Grant g{granted, 1.0f};
    // Larger particles for the ones left out: about the same area covered.
    if (granted > 0 && kept < static_cast<float>(wanted))
        g.scale = std::min(std::sqrt(static_cast<float>(wanted) / std::max(kept, 0.25f)), 2.0f);
    return g;
}

} // namespace skyscuffle
