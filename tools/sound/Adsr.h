#pragma once

namespace synth {

// Attack, decay to the sustain level, hold while the note is held, release once it is let go. Times in seconds,
// sustain as a fraction of the peak.
struct Adsr {
    double attack = 0.005;
    double decay = 0.1;
    double sustain = 0.7;
    double release = 0.1;

    // Level t seconds after the note starts, for a note held `gate` seconds.
    double at(double t, double gate) const;
};

} // namespace synth
