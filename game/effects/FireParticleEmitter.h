#pragma once

#include "game/effects/ParticleEmitter.h"

// The flames of a burning (dead) plane.
class FireParticleEmitter : public ParticleEmitter {
public:
    FireParticleEmitter();
};
