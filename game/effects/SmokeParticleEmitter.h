#pragma once

#include "game/effects/ParticleEmitter.h"

namespace skyscuffle {

// The smoke of a damaged or burning plane, alpha-blended rather than added
// (smoke darkens what is behind it). Health tunes it to the damage: more,
// darker and thicker smoke as health falls.
class SmokeParticleEmitter : public ParticleEmitter {
public:
    SmokeParticleEmitter();

    // Grey level of the particles (1 white, 0 black) and their opacity at birth.
    float tintLevel = 1.0f;
    float startOpacity = 1.0f;

    // Particles per second of a burning (dead) plane's smoke.
    static float burningRate();

protected:
    void style(ParticleSpec& spec) override;
    void spawned(kit::EntityHandle particle) override;
};

} // namespace skyscuffle
