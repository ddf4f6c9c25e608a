#pragma once

#include "game/effects/ParticleEmitter.h"

namespace skyscuffle {

// The flames of a burning (dead) plane.
class FireParticleEmitter : public ParticleEmitter {
public:
    FireParticleEmitter();
};

} // namespace skyscuffle
