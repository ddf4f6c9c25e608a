#pragma once

#include "engine/core/Behavior.h"

namespace skyscuffle {

// How many particles a world may hold and make. Bursts and trails thin out
// as the world's particles near the ceiling: a burst keeps all of its
// particles below half of it, then a share that falls to none at the
// ceiling, each particle larger so that the burst covers about as much.
// New particles draw on an allowance that refills at a steady rate up to
// one frame's most: a burst beyond it is cut short the same way, or skipped
// when nothing is left. So no sequence of events (a hostile peer's bullets
// hitting by the thousand) lets the particles run away or one frame make
// thousands, while an honest match never comes near: 8 computer pilots in
// match_sim (seeds 1 to 5, 180 s each) had at most 1,088 particles alive,
// made at most 396 in one frame of 1/60 s and 1,164 within one second:
// against a ceiling of 3,000 (thinning from 1,500), 600 in one frame and
// 2,000 a second. Making and destroying a particle is not cheap (of the
// order of 100 us in a debug build on a busy machine), so these bound a
// frame's cost as well as the count.
//
// One lives in the match world; the limits come from the tuning file when it
// is made ("tuning.particles.maxAlive", "tuning.particles.maxPerFrame",
// "tuning.particles.perSecond"; read again for the next match).
class ParticleBudget : public kit::Behavior {
public:
    struct Limits {
        float alive = 3000.0f;     // particles in the world at once
        float perFrame = 300.0f;   // made in one frame, at most (an honest match: under 100)
        float perSecond = 2000.0f; // made per second, steadily
    };
    // What may be made of a number of particles: how many, and how much
    // larger each is drawn (from 1, up to twice its size).
    struct Grant {
        int count = 0;
        float scale = 1.0f;
    };

    // The tuning file's limits; a value that is not a number of at least 1
    // gives the default (and one line on standard error).
    [[nodiscard]] static Limits tuned();
    // The budget of a world, or null when it has none.
    [[nodiscard]] static ParticleBudget* of(kit::World* world);
    // What the world's budget grants of `wanted` particles now; all of them
    // in a world without one.
    static Grant grant(kit::World& world, int wanted);

    explicit ParticleBudget(Limits limits = tuned());

    // The allowance refills for the time passed.
    void update(float dt) override;

    // What may be made of `wanted` particles now; the grant counts as made.
    Grant grant(int wanted);
    // Particles that may still be made before the allowance refills.
    [[nodiscard]] float allowance() const { return allowance_; }
    // Particles asked for and not made, so far.
    [[nodiscard]] long leftOut() const { return leftOut_; }

    const Limits limits;

private:
    float allowance_;
    long leftOut_ = 0;
};

} // namespace skyscuffle
