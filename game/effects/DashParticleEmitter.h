#pragma once

#include "game/effects/ParticleEmitter.h"

#include <string>

namespace skyscuffle {

// The streak behind a dashing or speeding plane. Added under a name
// ("dashEmitter" while dashing, "speedPowerEmitter" with a speed power) by
// which its owner removes it again.
class DashParticleEmitter : public ParticleEmitter {
public:
    DashParticleEmitter(const std::string& name, float particlesPerSecond);

    // Particles per second of each use.
    static float dashRate();
    static float speedPowerRate();
};

} // namespace skyscuffle
