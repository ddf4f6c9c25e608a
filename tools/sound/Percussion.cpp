#include "Percussion.h"

#include "Biquad.h"
#include "Curves.h"
#include "OnePole.h"
#include "Oscillator.h"

#include <algorithm>

namespace synth {

namespace {

// A skin struck by a hand: a fundamental that settles a little flat after the hit (the skin's tension relaxes),
// two weaker inharmonic modes of a round membrane, and the hand itself as band-passed noise. `tau` is the ring
// time constant in seconds, `slap` in [0, 1] how much of the hit is hand rather than drum.
Sound membrane(int rate, double hz, double velocity, double tau, double slap, double slapHz, Noise& noise)
{
    Oscillator mode1(Waveform::Sine, rate), mode2(Waveform::Sine, rate), mode3(Waveform::Sine, rate);
    Biquad hand(Biquad::Type::Bandpass, rate, slapHz, 1.1);
    const double length = std::min(1.0, 6.0 * tau + 0.03);
    return render(rate, length, [&](double t) {
        const double bend = 1.0 + 0.05 * expDecay(t, 0.015);
        const double tone = mode1.next(hz * bend) * attackDecay(t, 0.0012, tau) +
                            0.30 * mode2.next(1.59 * hz * bend) * attackDecay(t, 0.0008, 0.35 * tau) +
                            0.15 * mode3.next(2.14 * hz * bend) * attackDecay(t, 0.0008, 0.2 * tau);
        const double handNoise = 3.0 * hand.process(noise.white()) * attackDecay(t, 0.0004, 0.006 + 0.012 * slap);
        return velocity * ((1.0 - 0.4 * slap) * tone + (0.35 + 0.6 * slap) * handNoise);
    });
}

} // namespace

Sound lowDrum(int rate, double velocity)
{
    Oscillator body(Waveform::Sine, rate);
    Biquad beater(Biquad::Type::Bandpass, rate, 1400.0, 0.8);
    Noise noise(0x10D7);
    return render(rate, 0.6, [&](double t) {
        const double tone = body.next(expSweep(t, 0.07, 150.0, 55.0)) * attackDecay(t, 0.002, 0.15);
        const double click = 1.5 * beater.process(noise.white()) * attackDecay(t, 0.0005, 0.004);
        return velocity * (tone + click);
    });
}

Sound conga(int rate, double hz, double velocity, Stroke stroke, Noise& noise)
{
    switch (stroke) {
    case Stroke::Open:
        return membrane(rate, hz, velocity, 0.20, 0.1, 1800.0, noise);
    case Stroke::Muted:
        return membrane(rate, hz * 1.05, 0.6 * velocity, 0.035, 0.25, 1500.0, noise);
    case Stroke::Slap:
        break;
    }
    return membrane(rate, hz * 1.2, velocity, 0.045, 1.0, 2800.0, noise);
}

Sound bongo(int rate, double hz, double velocity, Noise& noise)
{
    return membrane(rate, hz, velocity, 0.085, 0.3, 3500.0, noise);
}

Sound shaker(int rate, double velocity, Noise& noise)
{
    Biquad low(Biquad::Type::Highpass, rate, 4500.0, 0.7);
    OnePole top(OnePole::Type::Lowpass, rate, 11000.0);
    // The beads are thrown, then land: a brief swell before the decay.
    return render(rate, 0.16, [&](double t) {
        return 2.0 * velocity * top.process(low.process(noise.white())) * attackDecay(t, 0.012, 0.03);
    });
}

Sound clave(int rate, double velocity)
{
    Oscillator wood(Waveform::Sine, rate), overtone(Waveform::Sine, rate);
    return render(rate, 0.18, [&](double t) {
        return velocity * (wood.next(2450.0) * attackDecay(t, 0.0006, 0.03) +
                           0.15 * overtone.next(2450.0 * 2.76) * attackDecay(t, 0.0004, 0.006));
    });
}

} // namespace synth
