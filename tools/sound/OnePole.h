#pragma once

namespace synth {

// First-order filter, 6 dB per octave: gentle tone shaping, smoothing of control signals, DC removal.
class OnePole {
public:
    enum class Type { Lowpass, Highpass };

    OnePole(Type type, int sampleRate, double cutoffHz);

    void setCutoff(double hz);
    float process(float x);

private:
    Type type_;
    double sampleRate_;
    double coefficient_ = 0.0;
    double state_ = 0.0;
};

} // namespace synth
