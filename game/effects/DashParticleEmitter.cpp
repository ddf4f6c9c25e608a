#include "DashParticleEmitter.h"

#include "engine/core/SettingsEntry.h"

namespace skyscuffle {

namespace {

ParticleEmitter::Settings dashSettings(float particlesPerSecond)
{
    static kit::SettingsEntry<std::string> texture("tuning.particles.dash.texture", "images/dashParticle.png");
    static kit::SettingsEntry<float> minLifespan("tuning.particles.dash.minLifespan", 0.8f);
    static kit::SettingsEntry<float> maxLifespan("tuning.particles.dash.maxLifespan", 1.2f);
    static kit::SettingsEntry<float> spawnRadius("tuning.particles.dashEmitter.spawnRadius", 0.1f);
    static kit::SettingsEntry<float> minVelocity("tuning.particles.dash.minVelocity", 5.0f);
    static kit::SettingsEntry<float> maxVelocity("tuning.particles.dash.maxVelocity", 10.0f);
    static kit::SettingsEntry<float> minScale("tuning.particles.dash.minScale", 3.0f);
    static kit::SettingsEntry<float> maxScale("tuning.particles.dash.maxScale", 3.0f);
    ParticleEmitter::Settings s;
    s.texture = texture;
    s.minScale = minScale;
    s.maxScale = maxScale;
    s.minLifespan = minLifespan;
    s.maxLifespan = maxLifespan;
    s.minSpeed = minVelocity;
    s.maxSpeed = maxVelocity;
    s.particlesPerSecond = particlesPerSecond;
    s.spawnRadius = spawnRadius;
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
    static kit::SettingsEntry<float> rate("tuning.particles.dashEmitter.dashParticlesPerSecond", 30.0f);
    return rate;
}

float DashParticleEmitter::speedPowerRate()
{
    static kit::SettingsEntry<float> rate("tuning.particles.dashEmitter.speedPowerParticlesPerSecond", 15.0f);
    return rate;
}

} // namespace skyscuffle
