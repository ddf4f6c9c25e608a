#pragma once

#include "Sound.h"

#include <cstddef>
#include <vector>

namespace synth {

// A small Schroeder reverb: damped feedback combs in parallel, then allpasses in series. Just enough of a room
// that dry synthesized sounds do not feel pasted on.
class Reverb {
public:
    // `size` in [0, 1] sets how long the tail rings, `damping` in [0, 1] how quickly its highs die.
    Reverb(int sampleRate, double size, double damping);

    // The reverberated signal only; the caller adds it to the dry one at the level it wants.
    float process(float x);

private:
    struct DelayLine {
        std::vector<float> buffer;
        std::size_t index = 0;
        float lowpass = 0.0f;
    };

    std::vector<DelayLine> combs_;
    std::vector<DelayLine> allpasses_;
    float feedback_;
    float damping_;
};

// Adds `wet` of the reverberated sound to itself. A one-shot needs silence at its end for the tail to ring into.
// With `looped` the room has already heard one pass of the loop, so the tail of its end rings on over its start.
void addReverb(Sound& sound, double size, double damping, double wet, bool looped = false);

} // namespace synth
