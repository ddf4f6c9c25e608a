#pragma once

#include "engine/core/Setting.h"

#include <string>

// How the match's particles and taunts look: the emitters that trail planes,
// the bursts of a hit or a pick-up, the ping ring, the particle budget, the
// taunts' texts, and whether flashes are calmer.
namespace skyscuffle::effectSettings {

// A stream of particles behind a plane.
struct Emitter {
    kit::Setting<std::string> texture;
    kit::Setting<float> minLifespan;
    kit::Setting<float> maxLifespan;
    kit::Setting<float> spawnRadius;
    kit::Setting<float> minVelocity;
    kit::Setting<float> maxVelocity;
    kit::Setting<float> minScale;
    kit::Setting<float> maxScale;
    kit::Setting<float> particlesPerSecond;
};
extern const Emitter dash;
extern const Emitter fire;
extern const Emitter smoke;
extern const kit::Setting<float> speedPowerParticlesPerSecond;

// Particles thrown out at once, every way.
struct Burst {
    kit::Setting<std::string> texture;
    kit::Setting<float> count;
    kit::Setting<float> lifespan;
    kit::Setting<float> velocity;
    kit::Setting<float> minScale;
    kit::Setting<float> maxScale;
};
extern const Burst explosion;
extern const Burst powerPickup;
extern const Burst health;
extern const Burst impact;

struct Ping {
    kit::Setting<std::string> texture;
    kit::Setting<float> lifespan;
    kit::Setting<float> startScale;
    kit::Setting<float> endScale;
};
extern const Ping ping;

extern const kit::Setting<float> maxAlive;
extern const kit::Setting<float> maxPerFrame;
extern const kit::Setting<float> perSecond;

// For players sensitive to flashing light: a shield glows in a slow pulse
// instead of blinking the plane, and explosions, bursts and hits are dimmer
// and fade in and out instead of popping up at full brightness.
extern const kit::Setting<bool> calmerFlashes;

// Taunt 1 to 4.
extern const kit::Setting<std::string> taunts[4];

} // namespace skyscuffle::effectSettings
