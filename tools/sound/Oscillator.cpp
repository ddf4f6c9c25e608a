#include "Oscillator.h"

#include <cmath>
#include <numbers>

namespace synth {

namespace {

// Correction around a step of the naive wave; t is the phase in cycles, dt the phase step per sample.
double polyBlep(double t, double dt)
{
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

} // namespace

Oscillator::Oscillator(Waveform waveform, int sampleRate, double phase)
    : waveform_(waveform), sampleRate_(sampleRate), phase_(phase - std::floor(phase))
{
}

float Oscillator::next(double hz)
{
    const double dt = std::fabs(hz) / sampleRate_;
    const double t = phase_;
    double value = 0.0;
    switch (waveform_) {
    case Waveform::Sine:
        value = std::sin(2.0 * std::numbers::pi * t);
        break;
    case Waveform::Triangle:
        value = t < 0.5 ? 4.0 * t - 1.0 : 3.0 - 4.0 * t;
        break;
    case Waveform::Saw:
        value = 2.0 * t - 1.0 - polyBlep(t, dt);
        break;
    case Waveform::Square:
        value = (t < 0.5 ? 1.0 : -1.0) + polyBlep(t, dt) - polyBlep(std::fmod(t + 0.5, 1.0), dt);
        break;
    }
    phase_ += dt;
    phase_ -= std::floor(phase_);
    return static_cast<float>(value);
}

} // namespace synth
