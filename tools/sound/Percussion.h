#pragma once

#include "Noise.h"
#include "Sound.h"

namespace synth {

// The jungle kit: each function renders one hit, as long as it rings. `velocity` in [0, 1], pitches in Hz.
// Hand drums take a Noise so that no two hits of a pattern are quite the same.

enum class Stroke {
    Open,  // full ringing tone
    Muted, // hand left on the skin: a short dull knock
    Slap,  // sharp, bright crack with little pitch
};

// A soft low drum that holds the downbeats under the hand drums.
Sound lowDrum(int sampleRate, double velocity);
Sound conga(int sampleRate, double hz, double velocity, Stroke stroke, Noise& noise);
Sound bongo(int sampleRate, double hz, double velocity, Noise& noise);
Sound shaker(int sampleRate, double velocity, Noise& noise);
Sound clave(int sampleRate, double velocity);

} // namespace synth
