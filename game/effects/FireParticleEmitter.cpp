#include "FireParticleEmitter.h"

#include "engine/core/SettingsEntry.h"

namespace skyscuffle {

namespace {

ParticleEmitter::Settings fireSettings()
{
    static kit::SettingsEntry<std::string> texture("tuning.particles.fire.texture", "images/fireParticle.png");
    static kit::SettingsEntry<float> minLifespan("tuning.particles.fire.minLifespan", 0.1f);
    static kit::SettingsEntry<float> maxLifespan("tuning.particles.fire.maxLifespan", 0.3f);
    static kit::SettingsEntry<float> rate("tuning.particles.fireEmitter.particlesPerSecond", 50.0f);
    static kit::SettingsEntry<float> spawnRadius("tuning.particles.fireEmitter.spawnRadius", 1.0f);
    static kit::SettingsEntry<float> minVelocity("tuning.particles.fire.minVelocity", 2.0f);
    static kit::SettingsEntry<float> maxVelocity("tuning.particles.fire.maxVelocity", 3.0f);
    static kit::SettingsEntry<float> minScale("tuning.particles.fire.minScale", 0.5f);
    static kit::SettingsEntry<float> maxScale("tuning.particles.fire.maxScale", 1.5f);
    ParticleEmitter::Settings s;
    s.texture = texture;
    s.minScale = minScale;
    s.maxScale = maxScale;
    s.minLifespan = minLifespan;
    s.maxLifespan = maxLifespan;
    s.minSpeed = minVelocity;
    s.maxSpeed = maxVelocity;
    s.particlesPerSecond = rate;
    s.spawnRadius = spawnRadius;
    return s;
}

} // namespace

FireParticleEmitter::FireParticleEmitter() : ParticleEmitter(fireSettings())
{
    addClassTags<FireParticleEmitter>("fireParticleEmitter");
}

} // namespace skyscuffle
