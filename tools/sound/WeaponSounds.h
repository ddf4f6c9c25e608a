#pragma once

#include "Sound.h"

namespace synth {

// Combat sounds, 44100 Hz, with faded ends; the caller sets their level.

Sound bombExplosion(); // big boom with a noisy tail, 1.5 s
Sound bombDrop();      // falling whistle, 1 s
Sound gatlingFire();   // rapid burst of shots, 0.85 s
Sound shotgunFire();   // heavy blast, then the pump, 0.6 s
Sound basicShot();     // short crisp shot, 0.15 s
Sound dash();          // whoosh of a jet burst, 0.5 s
Sound impact();        // metallic thud of two planes ramming, 0.5 s
Sound planeDeath();    // engine sputtering out, then a small explosion, 1.2 s

} // namespace synth
