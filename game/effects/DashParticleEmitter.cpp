#include "DashParticleEmitter.h"

#include "EffectSettings.h"

namespace skyscuffle {

namespace {

ParticleEmitter::Settings dashSettings(float particlesPerSecond)
{
    ParticleEmitter::Settings s;
    s.texture = effectSettings::dash.texture;
    s.minScale = effectSettings::dash.minScale;
    s.maxScale = effectSettings::dash.maxScale;
    s.minLifespan = effectSettings::dash.minLifespan;
    s.maxLifespan = effectSettings::dash.maxLifespan;
    s.minSpeed = effectSettings::dash.minVelocity;
    s.maxSpeed = effectSettings::dash.maxVelocity;
    s.particlesPerSecond = particlesPerSecond;
    s.spawnRadius = effectSettings::dash.spawnRadius;
    return s;
}

} // namespace

DashParticleEmitter::DashParticleEmitter(const std::string& name, float particlesPerSecond)
    : ParticleEmitter(dashSettings(particlesPerSecond))
{
    addClassTags<DashParticleEmitter>("dashParticleEmitter");
    addTag(kit::tagId(name));
}

float DashParticleEmitter::dashRate()
{
    return effectSettings::dash.particlesPerSecond;
}

float DashParticleEmitter::speedPowerRate()
{
    return effectSettings::speedPowerParticlesPerSecond;
}

} // namespace skyscuffle
