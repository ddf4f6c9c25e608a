#pragma once

namespace synth {

// Second-order filter after the usual audio cookbook formulas. `set` may be called on every sample to sweep it.
class Biquad {
public:
    // Bandpass has 0 dB gain at its centre; Peak boosts or cuts by `gainDb` around it.
    enum class Type { Lowpass, Highpass, Bandpass, Peak };

    Biquad(Type type, int sampleRate, double hz, double q = 0.7071, double gainDb = 0.0);

    void set(double hz, double q = 0.7071, double gainDb = 0.0);
    float process(float x);

private:
    Type type_;
    double sampleRate_;
    double b0_ = 1.0, b1_ = 0.0, b2_ = 0.0, a1_ = 0.0, a2_ = 0.0;
    double z1_ = 0.0, z2_ = 0.0;
};

} // namespace synth
