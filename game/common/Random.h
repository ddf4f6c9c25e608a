#pragma once

#include <glm/vec3.hpp>

#include <cstdint>

namespace skyscuffle {

// The game's one source of randomness: a 32-bit uniform generator (PCG32)
// shared by particles, pick-ups, colours and the computer pilots. Seeded from
// the clock at start; tests and the match simulator seed it to replay a run.
// Main thread only.
class Random {
public:
    static void seed(std::uint64_t seed);
    // The next 32-bit value, uniform over the whole range.
    static std::uint32_t next();
    // u in [0, 1): n x 2^-32, rounded down to what a float holds (never 1).
    static float uniform();
    // Uniform in [low, high).
    static float between(float low, float high) { return low + uniform() * (high - low); }
    // A unit vector, uniform over the sphere.
    static glm::vec3 direction();
    // A point uniform in the ball of the radius around the origin.
    static glm::vec3 inBall(float radius);
};

} // namespace skyscuffle
