#pragma once

#include <cmath>
#include <cstddef>
#include <vector>

namespace synth {

// The rate every sound of the game is made at.
inline constexpr int rate = 44100;

// Mono samples, nominally in [-1, 1], at a fixed rate: the one thing every part of the generator passes around.
struct Sound {
    Sound() = default;
    Sound(int sampleRate, double seconds)
        : sampleRate(sampleRate), samples(static_cast<std::size_t>(std::lround(seconds * sampleRate)))
    {
    }

    double seconds() const { return static_cast<double>(samples.size()) / sampleRate; }
    // Time in seconds of sample `i`.
    double time(std::size_t i) const { return static_cast<double>(i) / sampleRate; }
    // Index of the sample nearest to `seconds` (not clamped).
    std::ptrdiff_t frameAt(double seconds) const { return std::lround(seconds * sampleRate); }

    int sampleRate = rate;
    std::vector<float> samples;
};

// Fills a new sound by asking `sampleAt(t)` for each sample in order, t in seconds. The callable usually keeps
// oscillators and filters, so it is called exactly once per sample, front to back.
template <class SampleAt> Sound render(int sampleRate, double seconds, SampleAt&& sampleAt)
{
    Sound sound(sampleRate, seconds);
    for (std::size_t i = 0; i < sound.samples.size(); ++i)
        sound.samples[i] = static_cast<float>(sampleAt(sound.time(i)));
    return sound;
}

} // namespace synth
