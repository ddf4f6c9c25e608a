#pragma once

#include <cstdint>

namespace synth {

// Seeded noise and random choices. The generator is written out here (splitmix64) rather than taken from
// <random>, whose distributions may differ between standard libraries: a seed must give the same sound everywhere.
class Noise {
public:
    explicit Noise(std::uint64_t seed);

    // White noise, uniform in [-1, 1).
    float white();
    // Uniform in [low, high).
    double uniform(double low, double high);
    // True with probability `p`.
    bool chance(double p);

private:
    std::uint64_t next();

    std::uint64_t state_;
};

} // namespace synth
