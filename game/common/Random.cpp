#include "Random.h"

#include <cmath>
#include <numbers>

namespace skyscuffle {

namespace {

// PCG32 (XSH RR): 64-bit state, 32-bit output.
struct Pcg32 {
    std::uint64_t state = 0x853C49E6748FEA9Bull;
    static constexpr std::uint64_t increment = 0xDA3E39CB94B95BDBull;

    std::uint32_t next()
    {
        const std::uint64_t old = state;
        state = old * 6364136223846793005ull + increment;
        const auto shifted = static_cast<std::uint32_t>(((old >> 18u) ^ old) >> 27u);
        const auto rotation = static_cast<std::uint32_t>(old >> 59u);
        return (shifted >> rotation) | (shifted << ((32u - rotation) & 31u));
    }
};

Pcg32& generator()
{
    static Pcg32 pcg;
    return pcg;
}

} // namespace

void Random::seed(std::uint64_t seed)
{
    Pcg32& pcg = generator();
    pcg.state = 0;
    pcg.next();
    pcg.state += seed;
    pcg.next();
}

std::uint32_t Random::next()
{
    return generator().next();
}

float Random::uniform()
{
    // The top 24 bits: exactly representable, so the result stays below 1.
    return static_cast<float>(next() >> 8) * (1.0f / 16777216.0f);
}

glm::vec3 Random::direction()
{
    const float z = 2.0f * uniform() - 1.0f;
    const float angle = 2.0f * std::numbers::pi_v<float> * uniform();
    const float ring = std::sqrt(std::max(0.0f, 1.0f - z * z));
    return glm::vec3(ring * std::cos(angle), ring * std::sin(angle), z);
}

glm::vec3 Random::inBall(float radius)
{
    return direction() * (radius * std::cbrt(uniform()));
}

} // namespace skyscuffle
