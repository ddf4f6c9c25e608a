#include "SmokeParticleEmitter.h"

#include "game/common/Tags.h"

#include "EffectSettings.h"
#include "engine/core/World.h"

namespace skyscuffle {

namespace {

ParticleEmitter::Settings smokeSettings()
{
    ParticleEmitter::Settings s;
    s.texture = effectSettings::smoke.texture;
    s.minScale = effectSettings::smoke.minScale;
    s.maxScale = effectSettings::smoke.maxScale;
    s.minLifespan = effectSettings::smoke.minLifespan;
    s.maxLifespan = effectSettings::smoke.maxLifespan;
    s.minSpeed = effectSettings::smoke.minVelocity;
    s.maxSpeed = effectSettings::smoke.maxVelocity;
    s.particlesPerSecond = SmokeParticleEmitter::burningRate();
    s.spawnRadius = effectSettings::smoke.spawnRadius;
    return s;
}

} // namespace

SmokeParticleEmitter::SmokeParticleEmitter() : ParticleEmitter(smokeSettings())
{
    addClassTags<SmokeParticleEmitter>("smokeParticleEmitter");
}

float SmokeParticleEmitter::burningRate()
{
    return effectSettings::smoke.particlesPerSecond;
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
