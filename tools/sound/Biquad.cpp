#include "Biquad.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace synth {

Biquad::Biquad(Type type, int sampleRate, double hz, double q, double gainDb) : type_(type), sampleRate_(sampleRate)
{
    set(hz, q, gainDb);
}

void Biquad::set(double hz, double q, double gainDb)
{
    // Keep the centre clear of 0 and Nyquist, where the formulas degenerate.
    hz = std::clamp(hz, 10.0, 0.45 * sampleRate_);
    const double w = 2.0 * std::numbers::pi * hz / sampleRate_;
    const double cosw = std::cos(w);
    const double alpha = std::sin(w) / (2.0 * q);
    double b0 = 1.0, b1 = 0.0, b2 = 0.0, a0 = 1.0, a1 = -2.0 * cosw, a2 = 1.0 - alpha;
    switch (type_) {
    case Type::Lowpass:
        b0 = b2 = (1.0 - cosw) / 2.0;
        b1 = 1.0 - cosw;
        a0 = 1.0 + alpha;
        break;
    case Type::Highpass:
        b0 = b2 = (1.0 + cosw) / 2.0;
        b1 = -(1.0 + cosw);
        a0 = 1.0 + alpha;
        break;
    case Type::Bandpass:
        b0 = alpha;
        b2 = -alpha;
        a0 = 1.0 + alpha;
        break;
    case Type::Peak: {
        const double a = std::pow(10.0, gainDb / 40.0);
        b0 = 1.0 + alpha * a;
        b1 = -2.0 * cosw;
        b2 = 1.0 - alpha * a;
        a0 = 1.0 + alpha / a;
        a2 = 1.0 - alpha / a;
        break;
    }
    }
    b0_ = b0 / a0;
    b1_ = b1 / a0;
    b2_ = b2 / a0;
    a1_ = a1 / a0;
    a2_ = a2 / a0;
}

float Biquad::process(float x)
{
    // Transposed direct form II: stays well behaved while the coefficients move.
    const double y = b0_ * x + z1_;
    z1_ = b1_ * x - a1_ * y + z2_;
    z2_ = b2_ * x - a2_ * y;
    return static_cast<float>(y);
}

} // namespace synth
