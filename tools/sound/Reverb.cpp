#include "Reverb.h"

#include "Mix.h"

#include <array>

namespace synth {

namespace {

// Mutually prime delays in samples at 44100 Hz (rescaled for other rates), so the echoes do not pile up on
// one period and ring as a tone.
constexpr std::array<int, 6> combDelays = {1116, 1188, 1277, 1356, 1422, 1491};
constexpr std::array<int, 3> allpassDelays = {556, 441, 341};

} // namespace

Reverb::Reverb(int sampleRate, double size, double damping)
    : feedback_(static_cast<float>(0.70 + 0.28 * size)), damping_(static_cast<float>(0.1 + 0.8 * damping))
{
    const double scale = sampleRate / 44100.0;
    for (int delay : combDelays)
        combs_.push_back({std::vector<float>(static_cast<std::size_t>(delay * scale) + 1)});
    for (int delay : allpassDelays)
        allpasses_.push_back({std::vector<float>(static_cast<std::size_t>(delay * scale) + 1)});
}

float Reverb::process(float x)
{
    float sum = 0.0f;
    for (DelayLine& comb : combs_) {
        const float delayed = comb.buffer[comb.index];
        comb.lowpass = delayed * (1.0f - damping_) + comb.lowpass * damping_;
        comb.buffer[comb.index] = x + comb.lowpass * feedback_;
        comb.index = (comb.index + 1) % comb.buffer.size();
        sum += delayed;
    }
    float y = sum / static_cast<float>(combs_.size());
    for (DelayLine& allpass : allpasses_) {
        const float delayed = allpass.buffer[allpass.index];
        allpass.buffer[allpass.index] = y + delayed * 0.5f;
        allpass.index = (allpass.index + 1) % allpass.buffer.size();
        y = delayed - y;
    }
    return y;
}

void addReverb(Sound& sound, double size, double damping, double wet, bool looped)
{
    Reverb reverb(sound.sampleRate, size, damping);
    const auto withRoom = [&](float x) { return x + static_cast<float>(wet) * reverb.process(x); };
    if (looped) {
        processLoop(sound, withRoom);
        return;
    }
    for (float& x : sound.samples)
        x = withRoom(x);
}

} // namespace synth
