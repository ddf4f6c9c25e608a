#include "Curves.h"

#include <algorithm>
#include <cmath>

namespace synth {

double expDecay(double t, double tau)
{
    return t < 0.0 ? 0.0 : std::exp(-t / tau);
}

double attackDecay(double t, double attack, double tau)
{
    if (t < 0.0)
        return 0.0;
    if (t < attack)
        return t / attack;
    return std::exp(-(t - attack) / tau);
}

double expSweep(double t, double duration, double from, double to)
{
    const double x = std::clamp(t / duration, 0.0, 1.0);
    return from * std::pow(to / from, x);
}

double smoothStep(double start, double end, double t)
{
    const double x = std::clamp((t - start) / (end - start), 0.0, 1.0);
    return x * x * (3.0 - 2.0 * x);
}

double noteHz(double midiNote)
{
    return 440.0 * std::pow(2.0, (midiNote - 69.0) / 12.0);
}

double dbToGain(double db)
{
    return std::pow(10.0, db / 20.0);
}

} // namespace synth
