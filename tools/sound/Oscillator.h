#pragma once

namespace synth {

enum class Waveform { Sine, Triangle, Saw, Square };

// Phase-accumulating oscillator: the frequency may change on every sample (pitch sweeps, vibrato) and the
// waveform still never jumps. Saw and square are band-limited with PolyBLEP so fast sweeps do not alias.
class Oscillator {
public:
    Oscillator(Waveform waveform, int sampleRate, double phase = 0.0);

    // The current sample of a wave at `hz`, then one sample's step forward.
    float next(double hz);

private:
    Waveform waveform_;
    double sampleRate_;
    double phase_; // in cycles, [0, 1)
};

} // namespace synth
