#pragma once

#include "ParticleEmitter.h"

// The flames of a burning (dead) plane.
class FireParticleEmitter : public ParticleEmitter {
public:
    FireParticleEmitter();
};
