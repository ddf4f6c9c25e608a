#include "Noise.h"

namespace synth {

Noise::Noise(std::uint64_t seed) : state_(seed) {}

std::uint64_t Noise::next()
{
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double Noise::uniform(double low, double high)
{
    // The top 53 bits give every double in [0, 1) that has an exact binary fraction of that size.
    const double unit = static_cast<double>(next() >> 11) * 0x1.0p-53;
    return low + (high - low) * unit;
}

float Noise::white()
{
    return static_cast<float>(uniform(-1.0, 1.0));
}

bool Noise::chance(double p)
{
    return uniform(0.0, 1.0) < p;
}

} // namespace synth
