#include "EffectSettings.h"

#include "ParticleBudget.h"

namespace skyscuffle::effectSettings {

const Emitter dash{
    {"tuning.particles.dash.texture", "images/dashParticle.png", "the picture of a dashing plane's trail"},
    {"tuning.particles.dash.minLifespan", 0.8f, "the shortest life of a particle of a dashing plane's trail, seconds"},
    {"tuning.particles.dash.maxLifespan", 1.2f, "the longest life of a particle of a dashing plane's trail, seconds"},
    {"tuning.particles.dashEmitter.spawnRadius", 0.1f,
     "how far from the plane the particles of a dashing plane's trail appear"},
    {"tuning.particles.dash.minVelocity", 5.0f, "the slowest particle of a dashing plane's trail, units a second"},
    {"tuning.particles.dash.maxVelocity", 10.0f, "the fastest particle of a dashing plane's trail, units a second"},
    {"tuning.particles.dash.minScale", 3.0f, "the smallest particle of a dashing plane's trail"},
    {"tuning.particles.dash.maxScale", 3.0f, "the largest particle of a dashing plane's trail"},
    {"tuning.particles.dashEmitter.dashParticlesPerSecond", 30.0f, "particles a second in a dashing plane's trail"},
};
const Emitter fire{
    {"tuning.particles.fire.texture", "images/fireParticle.png", "the picture of a burning plane's flames"},
    {"tuning.particles.fire.minLifespan", 0.1f, "the shortest life of a particle of a burning plane's flames, seconds"},
    {"tuning.particles.fire.maxLifespan", 0.3f, "the longest life of a particle of a burning plane's flames, seconds"},
    {"tuning.particles.fireEmitter.spawnRadius", 1.0f,
     "how far from the plane the particles of a burning plane's flames appear"},
    {"tuning.particles.fire.minVelocity", 2.0f, "the slowest particle of a burning plane's flames, units a second"},
    {"tuning.particles.fire.maxVelocity", 3.0f, "the fastest particle of a burning plane's flames, units a second"},
    {"tuning.particles.fire.minScale", 0.5f, "the smallest particle of a burning plane's flames"},
    {"tuning.particles.fire.maxScale", 1.5f, "the largest particle of a burning plane's flames"},
    {"tuning.particles.fireEmitter.particlesPerSecond", 50.0f, "particles a second in a burning plane's flames"},
};
const Emitter smoke{
    {"tuning.particles.smoke.texture", "images/smokeParticle.png", "the picture of a damaged plane's smoke"},
    {"tuning.particles.smoke.minLifespan", 0.5f, "the shortest life of a particle of a damaged plane's smoke, seconds"},
    {"tuning.particles.smoke.maxLifespan", 1.5f, "the longest life of a particle of a damaged plane's smoke, seconds"},
    {"tuning.particles.smokeEmitter.spawnRadius", 1.0f,
     "how far from the plane the particles of a damaged plane's smoke appear"},
    {"tuning.particles.smoke.minVelocity", 2.0f, "the slowest particle of a damaged plane's smoke, units a second"},
    {"tuning.particles.smoke.maxVelocity", 3.0f, "the fastest particle of a damaged plane's smoke, units a second"},
    {"tuning.particles.smoke.minScale", 4.0f, "the smallest particle of a damaged plane's smoke"},
    {"tuning.particles.smoke.maxScale", 6.0f, "the largest particle of a damaged plane's smoke"},
    {"tuning.particles.smokeEmitter.particlesPerSecond", 15.0f, "particles a second in a damaged plane's smoke"},
};
const kit::Setting<float> speedPowerParticlesPerSecond{
    "tuning.particles.dashEmitter.speedPowerParticlesPerSecond", 15.0f,
    "particles a second in the trail of a plane with the speed power-up"};

const Burst explosion{
    {"tuning.particle.explosion.texture", "images/fireParticle.png", "the picture of the burst of a plane's explosion"},
    {"tuning.particle.explosionEmitter.numOfParticles", 30.0f,
     "particles in the burst of a plane's explosion (its whole part, up to 1000)"},
    {"tuning.particle.explosion.lifespan", 1.0f, "seconds a particle of the burst of a plane's explosion lives"},
    {"tuning.particle.explosion.velocity", 3.0f, "the speed of the burst of a plane's explosion, units a second"},
    {"tuning.particle.explosion.minScale", 0.5f, "the smallest particle of the burst of a plane's explosion"},
    {"tuning.particle.explosion.maxScale", 5.0f, "the largest particle of the burst of a plane's explosion"},
};
const Burst powerPickup{
    {"tuning.particle.powerPickup.texture", "images/powerUpParticle.png",
     "the picture of the burst of a power-up's pick-up"},
    {"tuning.particle.powerPickupEmitter.numOfParticles", 30.0f,
     "particles in the burst of a power-up's pick-up (its whole part, up to 1000)"},
    {"tuning.particle.powerPickup.lifespan", 1.0f, "seconds a particle of the burst of a power-up's pick-up lives"},
    {"tuning.particle.powerPickup.velocity", 10.0f, "the speed of the burst of a power-up's pick-up, units a second"},
    {"tuning.particle.powerPickup.minScale", 0.1f, "the smallest particle of the burst of a power-up's pick-up"},
    {"tuning.particle.powerPickup.maxScale", 1.0f, "the largest particle of the burst of a power-up's pick-up"},
};
const Burst health{
    {"tuning.particle.health.texture", "images/healthParticle.png", "the picture of the burst of a health pick-up"},
    {"tuning.particle.healthEmitter.numOfParticles", 30.0f,
     "particles in the burst of a health pick-up (its whole part, up to 1000)"},
    {"tuning.particle.health.lifespan", 1.0f, "seconds a particle of the burst of a health pick-up lives"},
    {"tuning.particle.health.velocity", 3.0f, "the speed of the burst of a health pick-up, units a second"},
    {"tuning.particle.health.minScale", 0.5f, "the smallest particle of the burst of a health pick-up"},
    {"tuning.particle.health.maxScale", 1.0f, "the largest particle of the burst of a health pick-up"},
};
const Burst impact{
    {"tuning.particle.impact.texture", "images/planeParticle1.png", "the picture of the burst of a bullet's hit"},
    {"tuning.particle.impactEmitter.numOfParticles", 30.0f,
     "particles in the burst of a bullet's hit (its whole part, up to 1000)"},
    {"tuning.particle.impact.lifespan", 1.0f, "seconds a particle of the burst of a bullet's hit lives"},
    {"tuning.particle.impact.velocity", 5.0f, "the speed of the burst of a bullet's hit, units a second"},
    {"tuning.particle.impact.minScale", 0.1f, "the smallest particle of the burst of a bullet's hit"},
    {"tuning.particle.impact.maxScale", 0.5f, "the largest particle of the burst of a bullet's hit"},
};

const Ping ping{
    {"tuning.particle.playerID.texture", "images/IDParticle.png", "the picture of the ring a ping shows"},
    {"tuning.particle.playerID.lifespan", 1.0f, "seconds a ping's ring lasts"},
    {"tuning.particle.playerID.startScale", 5.0f, "a ping's ring's size at first"},
    {"tuning.particle.playerID.endScale", 15.0f, "a ping's ring's size at last"},
};

const kit::Setting<float> maxAlive{
    "tuning.particles.maxAlive", ParticleBudget::Limits{}.alive, "particles a world keeps at once", {1.0f, {}}};
const kit::Setting<float> maxPerFrame{"tuning.particles.maxPerFrame",
                                      ParticleBudget::Limits{}.perFrame,
                                      "particles a world starts in one frame",
                                      {1.0f, {}}};
const kit::Setting<float> perSecond{"tuning.particles.perSecond",
                                    ParticleBudget::Limits{}.perSecond,
                                    "particles a world starts in a second",
                                    {1.0f, {}}};

const kit::Setting<bool> calmerFlashes{
    "tuning.effects.calmerFlashes", false,
    "1 for calmer flashes: a shield glows in a slow pulse instead of blinking; blasts, hits and pick-ups are dimmer "
    "and fade in and out"};

const kit::Setting<std::string> taunts[4] = {
    {"tuning.taunts.taunt1", "Top 'o the day to you :)", "the text of taunt 1"},
    {"tuning.taunts.taunt2", "I AM VERY ANGRY! RAR! >:(", "the text of taunt 2"},
    {"tuning.taunts.taunt3", "I don't even :/", "the text of taunt 3"},
    {"tuning.taunts.taunt4", "Well played... -_-", "the text of taunt 4"},
};

} // namespace skyscuffle::effectSettings
