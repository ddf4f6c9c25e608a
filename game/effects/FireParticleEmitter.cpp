#include "FireParticleEmitter.h"

#include "EffectSettings.h"

namespace skyscuffle {

namespace {

ParticleEmitter::Settings fireSettings()
{
    ParticleEmitter::Settings s;
    s.texture = effectSettings::fire.texture;
    s.minScale = effectSettings::fire.minScale;
    s.maxScale = effectSettings::fire.maxScale;
    s.minLifespan = effectSettings::fire.minLifespan;
    s.maxLifespan = effectSettings::fire.maxLifespan;
    s.minSpeed = effectSettings::fire.minVelocity;
    s.maxSpeed = effectSettings::fire.maxVelocity;
    s.particlesPerSecond = effectSettings::fire.particlesPerSecond;
    s.spawnRadius = effectSettings::fire.spawnRadius;
    return s;
}

} // namespace

FireParticleEmitter::FireParticleEmitter() : ParticleEmitter(fireSettings())
{
    addClassTags<FireParticleEmitter>("fireParticleEmitter");
}

} // namespace skyscuffle
