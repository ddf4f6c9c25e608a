#include "OnePole.h"

#include <cmath>
#include <numbers>

namespace synth {

OnePole::OnePole(Type type, int sampleRate, double cutoffHz) : type_(type), sampleRate_(sampleRate)
{
    setCutoff(cutoffHz);
}

void OnePole::setCutoff(double hz)
{
    coefficient_ = 1.0 - std::exp(-2.0 * std::numbers::pi * hz / sampleRate_);
}

float OnePole::process(float x)
{
    state_ += coefficient_ * (x - state_);
    return static_cast<float>(type_ == Type::Lowpass ? state_ : x - state_);
}

} // namespace synth
