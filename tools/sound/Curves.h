#pragma once

namespace synth {

// Shapes over time (t in seconds) for amplitudes and pitches, plus the unit conversions they need.

// e^(-t / tau) from t = 0 on, 0 before: the natural decay of anything struck.
double expDecay(double t, double tau);
// A linear rise over `attack` seconds, then expDecay with time constant `tau`; short attacks keep onsets click-free.
double attackDecay(double t, double attack, double tau);
// A geometric glide from `from` to `to` over `duration` seconds, holding `to` afterwards; pitch sweeps sound even
// when equal ratios take equal time.
double expSweep(double t, double duration, double from, double to);
// 0 at `start`, 1 at `end`, smooth in between (and clamped outside).
double smoothStep(double start, double end, double t);

// Equal temperament, A4 (note 69) = 440 Hz.
double noteHz(double midiNote);
double dbToGain(double db);

} // namespace synth
