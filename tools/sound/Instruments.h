#pragma once

#include "Noise.h"
#include "Sound.h"

namespace synth {

// Pitched voices, one note per call. `velocity` in [0, 1], pitches in Hz, held lengths (`gate`) in seconds.

// Wooden bar over a resonator tube: a long round fundamental, the bar's overtone two octaves up that dies fast,
// and the soft knock of the mallet.
Sound marimba(int sampleRate, double hz, double velocity, Noise& noise);
// Plucked string (Karplus-Strong), damped after `gate`.
Sound pluck(int sampleRate, double hz, double velocity, double gate, Noise& noise);
// Round bass: a sine body with a filtered saw edge whose brightness falls after the attack.
Sound bass(int sampleRate, double hz, double velocity, double gate);
// Small bright bell for chimes; `tau` is its ring time constant in seconds.
Sound bell(int sampleRate, double hz, double velocity, double tau);

} // namespace synth
