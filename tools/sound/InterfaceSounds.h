#pragma once

#include "Sound.h"

namespace synth {

// Pick-ups and menu feedback, 44100 Hz, with faded ends; the caller sets their level.

Sound health();     // bright rising heal chime, 0.7 s
Sound pickUp();     // three quick rising notes, 0.3 s
Sound menuSelect(); // confirm click, 0.1 s
Sound upDown();     // soft cursor tick, 0.06 s

} // namespace synth
