#pragma once

#include "game/effects/Particles.h"

#include "engine/core/Behavior.h"

#include <string>

namespace skyscuffle {

// A continuous trail of particles from its entity (a plane): emitted at a
// fixed rate from within a small sphere around it, flying backwards along
// its nose with a little spread, growing from nothing to a random scale while
// they fade. The kinds of trail differ in their tuning and looks. Near the
// world's particle ceiling (ParticleBudget) a trail thins out: it skips
// particles and draws the others larger.
class ParticleEmitter : public kit::Behavior {
public:
    struct Settings {
        std::string texture;
        float minScale = 1.0f, maxScale = 1.0f;
        float minLifespan = 1.0f, maxLifespan = 1.0f;
        float minSpeed = 1.0f, maxSpeed = 1.0f;
        float particlesPerSecond = 10.0f;
        float spawnRadius = 0.0f;
    };

    explicit ParticleEmitter(const Settings& settings);

    void update(float dt) override;

    // Particles per second from now on.
    void setRate(float particlesPerSecond);
    [[nodiscard]] int emitted() const { return emitted_; }

    std::string texture;
    float minScale, maxScale;
    float minLifespan, maxLifespan;
    float minSpeed, maxSpeed;
    float interval;  // seconds per particle
    float countdown; // seconds until the next particle is due
    float spawnRadius;

protected:
    // Finishes a particle of this kind before it is spawned (tint, opacity).
    virtual void style(ParticleSpec& spec) { (void)spec; }
    // Adjusts the spawned particle entity.
    virtual void spawned(kit::EntityHandle particle) { (void)particle; }

private:
    void emit();

    int emitted_ = 0;
};

} // namespace skyscuffle
