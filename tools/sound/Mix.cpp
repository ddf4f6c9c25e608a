#include "Mix.h"

#include "OnePole.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace synth {

namespace {

// Long enough to hide a step at the start, short enough to keep a transient's bite.
constexpr double oneShotFadeIn = 0.002;

} // namespace

void mixInto(Sound& target, const Sound& source, double atSeconds, double gain, Edge edge)
{
    const std::ptrdiff_t size = static_cast<std::ptrdiff_t>(target.samples.size());
    if (size == 0)
        return;
    const std::ptrdiff_t start = target.frameAt(atSeconds);
    for (std::size_t i = 0; i < source.samples.size(); ++i) {
        std::ptrdiff_t at = start + static_cast<std::ptrdiff_t>(i);
        if (edge == Edge::Wrap)
            at = ((at % size) + size) % size;
        else if (at < 0 || at >= size)
            continue;
        target.samples[static_cast<std::size_t>(at)] += static_cast<float>(gain * source.samples[i]);
    }
}

void softClip(Sound& sound, double drive)
{
    normalize(sound, 0.0);
    const double scale = 1.0 / std::tanh(drive);
    for (float& x : sound.samples)
        x = static_cast<float>(std::tanh(drive * x) * scale);
}

void normalize(Sound& sound, double peakDb)
{
    float peak = 0.0f;
    for (float x : sound.samples)
        peak = std::max(peak, std::fabs(x));
    if (peak <= 0.0f)
        return;
    const float gain = static_cast<float>(std::pow(10.0, peakDb / 20.0) / peak);
    for (float& x : sound.samples)
        x *= gain;
}

void fadeIn(Sound& sound, double seconds)
{
    const std::size_t length = std::min(sound.samples.size(), static_cast<std::size_t>(seconds * sound.sampleRate));
    for (std::size_t i = 0; i < length; ++i)
        sound.samples[i] *= static_cast<float>(0.5 - 0.5 * std::cos(std::numbers::pi * i / length));
}

void fadeOut(Sound& sound, double seconds)
{
    const std::size_t size = sound.samples.size();
    const std::size_t length = std::min(size, static_cast<std::size_t>(seconds * sound.sampleRate));
    // The last sample gets weight 0.
    for (std::size_t i = 0; i < length; ++i)
        sound.samples[size - 1 - i] *= static_cast<float>(0.5 - 0.5 * std::cos(std::numbers::pi * i / length));
}

void removeDc(Sound& sound, bool looped)
{
    OnePole highpass(OnePole::Type::Highpass, sound.sampleRate, 15.0);
    const auto filter = [&](float x) { return highpass.process(x); };
    if (looped) {
        processLoop(sound, filter);
        return;
    }
    for (float& x : sound.samples)
        x = filter(x);
}

void finishOneShot(Sound& sound, double fadeOutSeconds)
{
    removeDc(sound);
    fadeIn(sound, oneShotFadeIn);
    fadeOut(sound, fadeOutSeconds);
}

void finishLoop(Sound& sound)
{
    removeDc(sound, true);
}

} // namespace synth
