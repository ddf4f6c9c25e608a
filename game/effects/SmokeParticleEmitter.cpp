#include "SmokeParticleEmitter.h"

#include "game/common/Tags.h"

#include "engine/core/SettingsEntry.h"
#include "engine/core/World.h"

namespace skyscuffle {

namespace {

ParticleEmitter::Settings smokeSettings()
{
    static kit::SettingsEntry<std::string> texture("tuning.particles.smoke.texture", "images/smokeParticle.png");
    static kit::SettingsEntry<float> minLifespan("tuning.particles.smoke.minLifespan", 0.5f);
    static kit::SettingsEntry<float> maxLifespan("tuning.particles.smoke.maxLifespan", 1.5f);
    static kit::SettingsEntry<float> spawnRadius("tuning.particles.smokeEmitter.spawnRadius", 1.0f);
    static kit::SettingsEntry<float> minVelocity("tuning.particles.smoke.minVelocity", 2.0f);
    static kit::SettingsEntry<float> maxVelocity("tuning.particles.smoke.maxVelocity", 3.0f);
    static kit::SettingsEntry<float> minScale("tuning.particles.smoke.minScale", 4.0f);
    static kit::SettingsEntry<float> maxScale("tuning.particles.smoke.maxScale", 6.0f);
    ParticleEmitter::Settings s;
    s.texture = texture;
    s.minScale = minScale;
    s.maxScale = maxScale;
    s.minLifespan = minLifespan;
    s.maxLifespan = maxLifespan;
    s.minSpeed = minVelocity;
    s.maxSpeed = maxVelocity;
    s.particlesPerSecond = SmokeParticleEmitter::burningRate();
    s.spawnRadius = spawnRadius;
    return s;
}

} // namespace

SmokeParticleEmitter::SmokeParticleEmitter() : ParticleEmitter(smokeSettings())
{
    addClassTags<SmokeParticleEmitter>("smokeParticleEmitter");
}

float SmokeParticleEmitter::burningRate()
{
    static kit::SettingsEntry<float> rate("tuning.particles.smokeEmitter.particlesPerSecond", 15.0f);
    return rate;
}

void SmokeParticleEmitter::style(ParticleSpec& spec)
{
    spec.tint = glm::vec3(tintLevel);
    spec.startAlpha = startOpacity;
}

void SmokeParticleEmitter::spawned(kit::EntityHandle particle)
{
    world->destroyComponents(particle.id, kit::tagId(tags::additiveBlending));
}

} // namespace skyscuffle
