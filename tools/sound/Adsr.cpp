#include "Adsr.h"

#include <algorithm>

namespace synth {

namespace {

double held(const Adsr& env, double t)
{
    if (t < 0.0)
        return 0.0;
    if (t < env.attack)
        return t / env.attack;
    if (t < env.attack + env.decay)
        return 1.0 - (1.0 - env.sustain) * (t - env.attack) / env.decay;
    return env.sustain;
}

} // namespace

double Adsr::at(double t, double gate) const
{
    if (t < gate)
        return held(*this, t);
    // Release from wherever the note was when let go, so short notes do not jump up to the sustain level.
    const double fromLevel = held(*this, gate);
    return fromLevel * std::max(0.0, 1.0 - (t - gate) / release);
}

} // namespace synth
