#include "InterfaceSounds.h"

#include "Biquad.h"
#include "Curves.h"
#include "Instruments.h"
#include "Mix.h"
#include "Noise.h"
#include "OnePole.h"
#include "Oscillator.h"
#include "Reverb.h"

#include <array>
#include <cmath>
#include <numbers>

namespace synth {

namespace {

} // namespace

Sound health()
{
    constexpr double length = 0.7;
    Noise noise(0x4EA1);
    Sound sound(rate, length);
    // C major arpeggio from C6 up to the octave; the top note rings longest.
    constexpr std::array<int, 4> notes = {84, 88, 91, 96};
    for (std::size_t i = 0; i < notes.size(); ++i) {
        const bool last = i + 1 == notes.size();
        mixInto(sound, bell(rate, noteHz(notes[i]), last ? 1.0 : 0.8, last ? 0.2 : 0.1), 0.065 * i, 0.5);
    }
    // A soft rising glow under the notes, and a few sparkles above them.
    Oscillator glow(Waveform::Triangle, rate);
    for (std::size_t i = 0; i < sound.samples.size(); ++i) {
        const double t = sound.time(i);
        const double tremolo = 0.75 + 0.25 * std::sin(2.0 * std::numbers::pi * 14.0 * t);
        const double level = 0.08 * smoothStep(0.0, 0.08, t) * (1.0 - smoothStep(0.2, 0.55, t)) * tremolo;
        sound.samples[i] += static_cast<float>(level * glow.next(expSweep(t, 0.4, 520.0, 1040.0)));
    }
    for (int i = 0; i < 7; ++i) {
        const double at = 0.12 + 0.06 * i + noise.uniform(0.0, 0.03);
        const double hz = noise.uniform(3500.0, 6500.0);
        Oscillator sparkle(Waveform::Sine, rate);
        mixInto(sound, render(rate, 0.08, [&](double t) { return sparkle.next(hz) * attackDecay(t, 0.001, 0.015); }),
                at, 0.06 * (1.0 - 0.1 * i));
    }
    addReverb(sound, 0.5, 0.4, 0.25);
    finishOneShot(sound, 0.12);
    return sound;
}

Sound pickUp()
{
    constexpr double length = 0.3;
    constexpr double spacing = 0.06;
    // G5, C6, E6: a major chord climbing.
    constexpr std::array<int, 3> notes = {79, 84, 88};
    Sound sound(rate, length);
    for (std::size_t i = 0; i < notes.size(); ++i) {
        const bool last = i + 1 == notes.size();
        const double hz = noteHz(notes[i]);
        Oscillator lead(Waveform::Square, rate), sparkle(Waveform::Sine, rate);
        Biquad soften(Biquad::Type::Lowpass, rate, 3500.0, 0.7);
        const double tau = last ? 0.07 : 0.035;
        Sound note = render(rate, last ? length - spacing * i : spacing + 0.02, [&](double t) {
            // Each note slides up into its pitch a little: eager rather than flat.
            const double slide = expSweep(t, 0.012, 0.97, 1.0);
            return attackDecay(t, 0.002, tau) *
                   (0.5 * soften.process(lead.next(hz * slide)) + 0.35 * sparkle.next(2.0 * hz * slide));
        });
        fadeOut(note, 0.015);
        mixInto(sound, note, spacing * i, last ? 1.0 : 0.8);
    }
    addReverb(sound, 0.3, 0.4, 0.15);
    finishOneShot(sound, 0.04);
    return sound;
}

Sound menuSelect()
{
    Noise noise(0x5E1E);
    Oscillator first(Waveform::Sine, rate), second(Waveform::Sine, rate), edge(Waveform::Triangle, rate);
    Biquad tick(Biquad::Type::Bandpass, rate, 4000.0, 1.0);
    Sound sound = render(rate, 0.1, [&](double t) {
        const double low = first.next(1046.5) * attackDecay(t, 0.001, 0.012) * (1.0 - smoothStep(0.022, 0.032, t));
        const double highTime = t - 0.028;
        const double high = highTime < 0.0
                                ? 0.0
                                : (second.next(1568.0) + 0.3 * edge.next(1568.0)) * attackDecay(highTime, 0.001, 0.022);
        return 0.6 * low + high + 1.5 * tick.process(noise.white()) * attackDecay(t, 0.0002, 0.0015);
    });
    finishOneShot(sound, 0.02);
    return sound;
}

Sound upDown()
{
    Noise noise(0x0D0D);
    Oscillator tone(Waveform::Sine, rate);
    OnePole soften(OnePole::Type::Lowpass, rate, 3000.0);
    Sound sound = render(rate, 0.06, [&](double t) {
        return tone.next(expSweep(t, 0.015, 1400.0, 1100.0)) * attackDecay(t, 0.0008, 0.012) +
               0.5 * soften.process(noise.white()) * attackDecay(t, 0.0003, 0.002);
    });
    finishOneShot(sound, 0.015);
    return sound;
}

} // namespace synth
