#pragma once

#include "Sound.h"

namespace synth {

// What happens to the part of a mixed-in sound that runs past the end of the target: cut off, or wrapped round to
// the start, which is how a loop must be built for its end to flow into its start.
enum class Edge { Cut, Wrap };

// Adds `source` times `gain` into `target`, starting `atSeconds` in. Both must have the same sample rate.
void mixInto(Sound& target, const Sound& source, double atSeconds, double gain = 1.0, Edge edge = Edge::Cut);

// tanh saturation: rounds off peaks and adds punch instead of hard clipping. The peak is scaled to 1 first, so
// `drive` alone decides how hard it bites: the quietest parts come up by 20 log10(drive / tanh(drive)) dB
// relative to the peak (2.1 dB at 1.2, 6.3 dB at 2).
void softClip(Sound& sound, double drive);
// Scales the loudest sample to `peakDb` dBFS.
void normalize(Sound& sound, double peakDb);
// Raised-cosine fades, so the first and last samples are silent and neither end clicks.
void fadeIn(Sound& sound, double seconds);
void fadeOut(Sound& sound, double seconds);
// Highpass at 15 Hz: filters and saturation leave offsets that would thump when a sound starts or stops.
void removeDc(Sound& sound, bool looped = false);

// Runs a per-sample process with state (filters, reverbs) over a loop as if the loop had already been playing:
// the first pass only warms the state up, the second writes, so the end leads into the start exactly as it will
// when the game repeats the sound.
template <class Process> void processLoop(Sound& sound, Process&& process)
{
    for (float x : sound.samples)
        process(x);
    for (float& x : sound.samples)
        x = process(x);
}

// The last touch on every one-shot sound before its level is set: no DC, a short fade in and a fade out over
// `fadeOutSeconds`.
void finishOneShot(Sound& sound, double fadeOutSeconds);
// The same for a loop, which must not fade at its ends.
void finishLoop(Sound& sound);

} // namespace synth
