#pragma once

#include "Sound.h"

namespace synth {

// Loops without fades at their ends; the caller sets their level.

// The match music: 16 bars of calypso-flavoured jungle party at 120 BPM, 32 s, built to loop seamlessly.
Sound jungleParty();
// Two bars of the same hand-drum groove at 128 BPM, 3.75 s, at 22050 Hz to keep the WAV small; loops seamlessly.
Sound drumLoop();

} // namespace synth
