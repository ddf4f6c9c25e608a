#include "WeaponSounds.h"

#include "Biquad.h"
#include "Curves.h"
#include "Mix.h"
#include "Noise.h"
#include "OnePole.h"
#include "Oscillator.h"
#include "Reverb.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace synth {

namespace {

struct ShotShape {
    double crackHz; // centre of the crack: lower sounds like a heavier calibre
    double thumpHz; // where the thump's pitch drop ends
    double tau;     // decay time constant of the crack in seconds; the thump lasts a little longer
    double thump;   // level of the thump against the crack
};

// One gun report: a band-passed crack, a hiss of the muzzle blast and a short thump that drops in pitch.
Sound shot(const ShotShape& shape, double length, Noise& noise)
{
    Biquad crack(Biquad::Type::Bandpass, rate, shape.crackHz, 0.8);
    Biquad hiss(Biquad::Type::Highpass, rate, 5000.0, 0.7);
    Oscillator body(Waveform::Sine, rate);
    return render(rate, length, [&](double t) {
        const double n = noise.white();
        const double y = 2.2 * crack.process(n) * attackDecay(t, 0.0004, shape.tau) +
                         0.6 * hiss.process(n) * attackDecay(t, 0.0002, 0.3 * shape.tau) +
                         shape.thump * body.next(expSweep(t, 0.04, 2.5 * shape.thumpHz, shape.thumpHz)) *
                             attackDecay(t, 0.001, 1.6 * shape.tau);
        return y;
    });
}

// An explosion: the low boom that drops in pitch, a sharp crack, a rumbling noise tail whose brightness
// falls as it dies, and debris crackling through it. `scale` stretches every time, `seed` varies the noise.
Sound explosion(double length, double scale, std::uint64_t seed)
{
    Noise noise(seed);
    Oscillator boom(Waveform::Sine, rate), sub(Waveform::Sine, rate);
    Biquad crack(Biquad::Type::Lowpass, rate, 6500.0, 0.7);
    Biquad rumble(Biquad::Type::Lowpass, rate, 3000.0, 0.8);
    Biquad rumbleLow(Biquad::Type::Lowpass, rate, 3000.0, 0.6);
    Biquad debris(Biquad::Type::Bandpass, rate, 2200.0, 1.5);
    return render(rate, length, [&](double t) {
        const double low = boom.next(expSweep(t, 0.6 * scale, 95.0, 32.0)) * attackDecay(t, 0.003, 0.3 * scale) +
                           0.6 * sub.next(expSweep(t, 0.2 * scale, 70.0, 42.0)) * attackDecay(t, 0.002, 0.12 * scale);
        const double flash = 1.5 * crack.process(noise.white()) * attackDecay(t, 0.0005, 0.03 * scale);
        const double cutoff = expSweep(t, 1.1 * scale, 3200.0, 160.0);
        rumble.set(cutoff, 0.8);
        rumbleLow.set(cutoff, 0.6);
        const double tail = 2.2 * rumbleLow.process(rumble.process(noise.white())) * attackDecay(t, 0.015, 0.4 * scale);
        const double crackleRate = 0.004 * expDecay(t - 0.05, 0.35 * scale);
        const double spark = noise.chance(crackleRate) ? noise.uniform(-1.0, 1.0) : 0.0;
        const double crackle = 6.0 * debris.process(static_cast<float>(spark));
        return low + flash + tail + crackle;
    });
}

// One partial of a struck piece of metal, decaying with time constant `tau` in seconds.
struct Partial {
    double hz;
    double level;
    double tau;
};

} // namespace

Sound bombExplosion()
{
    Sound sound = explosion(1.5, 1.0, 0xB0B);
    softClip(sound, 2.0);
    addReverb(sound, 0.5, 0.6, 0.15);
    finishOneShot(sound, 0.25);
    return sound;
}

Sound bombDrop()
{
    Noise noise(0xD20F);
    Oscillator whistle(Waveform::Sine, rate), octave(Waveform::Sine, rate);
    Biquad air(Biquad::Type::Bandpass, rate, 2000.0, 6.0);
    Sound sound = render(rate, 1.0, [&](double t) {
        const double wobble = 1.0 + 0.006 * std::sin(2.0 * std::numbers::pi * 6.5 * t);
        const double hz = expSweep(t, 1.0, 2100.0, 620.0) * wobble;
        air.set(hz, 6.0);
        // Louder as it comes closer.
        const double level = (0.35 + 0.65 * t) * smoothStep(0.0, 0.12, t);
        return level * (whistle.next(hz) + 0.12 * octave.next(2.0 * hz) + 1.2 * air.process(noise.white()));
    });
    finishOneShot(sound, 0.08);
    return sound;
}

Sound gatlingFire()
{
    constexpr double length = 0.85;
    constexpr int shots = 14;
    Noise noise(0x6A71);
    Sound sound(rate, length);
    double at = 0.0;
    for (int i = 0; i < shots; ++i) {
        const ShotShape shape{noise.uniform(1500.0, 1900.0), noise.uniform(100.0, 125.0), 0.016, 0.9};
        mixInto(sound, shot(shape, 0.12, noise), at, noise.uniform(0.8, 1.0));
        // The barrels spin up over the first few shots.
        at += 0.05 + 0.02 * std::exp(-i / 2.0);
    }
    // Whirr of the rotating barrels under the shots.
    Oscillator motor(Waveform::Saw, rate);
    OnePole motorTone(OnePole::Type::Lowpass, rate, 700.0);
    for (std::size_t i = 0; i < sound.samples.size(); ++i) {
        const double t = sound.time(i);
        const double level = 0.05 * smoothStep(0.0, 0.1, t) * (1.0 - smoothStep(0.6, length, t));
        sound.samples[i] += static_cast<float>(level * motorTone.process(motor.next(expSweep(t, 0.25, 80.0, 140.0))));
    }
    softClip(sound, 1.5);
    addReverb(sound, 0.35, 0.5, 0.18);
    finishOneShot(sound, 0.12);
    return sound;
}

Sound shotgunFire()
{
    constexpr double length = 0.6;
    Noise noise(0x5406);
    Sound sound = shot({900.0, 55.0, 0.06, 1.2}, length, noise);
    Biquad blast(Biquad::Type::Lowpass, rate, 4500.0, 0.7);
    for (std::size_t i = 0; i < sound.samples.size(); ++i)
        sound.samples[i] +=
            static_cast<float>(1.1 * blast.process(noise.white()) * attackDecay(sound.time(i), 0.001, 0.07));
    softClip(sound, 2.5);
    // The pump: pulled back, then pushed home, each a click of steel with a little body.
    const auto click = [&](double brightness) {
        Biquad snap(Biquad::Type::Highpass, rate, 2500.0, 0.7);
        std::array<Oscillator, 3> ring{Oscillator(Waveform::Sine, rate), Oscillator(Waveform::Sine, rate),
                                       Oscillator(Waveform::Sine, rate)};
        Oscillator chunk(Waveform::Sine, rate);
        return render(rate, 0.08, [&](double t) {
            return 0.8 * snap.process(noise.white()) * attackDecay(t, 0.0002, 0.0015) +
                   0.3 * ring[0].next(2850.0 * brightness) * attackDecay(t, 0.0003, 0.012) +
                   0.2 * ring[1].next(4310.0 * brightness) * attackDecay(t, 0.0003, 0.008) +
                   0.12 * ring[2].next(6170.0 * brightness) * attackDecay(t, 0.0003, 0.005) +
                   0.4 * chunk.next(190.0) * attackDecay(t, 0.001, 0.012);
        });
    };
    mixInto(sound, click(1.0), 0.36, 0.35);
    mixInto(sound, click(1.12), 0.46, 0.4);
    addReverb(sound, 0.3, 0.5, 0.15);
    finishOneShot(sound, 0.05);
    return sound;
}

Sound basicShot()
{
    Noise noise(0xBA51);
    Sound sound = shot({2600.0, 95.0, 0.018, 0.7}, 0.15, noise);
    softClip(sound, 1.5);
    addReverb(sound, 0.2, 0.5, 0.12);
    finishOneShot(sound, 0.03);
    return sound;
}

Sound dash()
{
    Noise noise(0xDA54);
    Biquad whoosh(Biquad::Type::Bandpass, rate, 500.0, 1.2);
    Biquad air(Biquad::Type::Highpass, rate, 6000.0, 0.7);
    OnePole rumbleTone(OnePole::Type::Lowpass, rate, 400.0);
    Oscillator jet(Waveform::Saw, rate);
    Biquad jetTone(Biquad::Type::Lowpass, rate, 900.0, 1.0);
    Sound sound = render(rate, 0.5, [&](double t) {
        // The centre rises through the burst and sinks back as it passes.
        const double centre = t < 0.15 ? expSweep(t, 0.15, 350.0, 2800.0) : expSweep(t - 0.15, 0.35, 2800.0, 800.0);
        whoosh.set(centre, 1.2);
        const double n = noise.white();
        const double envelope = attackDecay(t, 0.06, 0.12);
        return envelope * (2.5 * whoosh.process(n) + 0.25 * air.process(n) + 1.5 * rumbleTone.process(n)) +
               0.25 * jetTone.process(jet.next(expSweep(t, 0.2, 90.0, 210.0))) * attackDecay(t, 0.02, 0.1);
    });
    finishOneShot(sound, 0.1);
    return sound;
}

Sound impact()
{
    constexpr double length = 0.5;
    Noise noise(0x1A9C);
    constexpr std::array<Partial, 8> metal = {{{287.0, 0.35, 0.2},
                                               {288.7, 0.2, 0.18},
                                               {741.0, 0.25, 0.14},
                                               {1189.0, 0.2, 0.11},
                                               {1191.5, 0.12, 0.1},
                                               {1733.0, 0.14, 0.08},
                                               {2467.0, 0.1, 0.06},
                                               {3371.0, 0.07, 0.04}}};
    std::array<Oscillator, metal.size()> ring{
        Oscillator(Waveform::Sine, rate, 0.0),  Oscillator(Waveform::Sine, rate, 0.13),
        Oscillator(Waveform::Sine, rate, 0.31), Oscillator(Waveform::Sine, rate, 0.57),
        Oscillator(Waveform::Sine, rate, 0.71), Oscillator(Waveform::Sine, rate, 0.23),
        Oscillator(Waveform::Sine, rate, 0.89), Oscillator(Waveform::Sine, rate, 0.44)};
    Oscillator thump(Waveform::Sine, rate);
    Biquad crunch(Biquad::Type::Lowpass, rate, 1800.0, 0.8);
    Biquad clank(Biquad::Type::Highpass, rate, 3000.0, 0.7);
    Sound sound = render(rate, length, [&](double t) {
        double metalRing = 0.0;
        for (std::size_t i = 0; i < metal.size(); ++i)
            metalRing += metal[i].level * ring[i].next(metal[i].hz) * attackDecay(t, 0.0005, metal[i].tau);
        const double n = noise.white();
        return 1.1 * thump.next(expSweep(t, 0.08, 100.0, 46.0)) * attackDecay(t, 0.002, 0.09) +
               1.6 * crunch.process(n) * attackDecay(t, 0.001, 0.03) +
               0.6 * clank.process(n) * attackDecay(t, 0.0002, 0.004) + 0.8 * metalRing;
    });
    softClip(sound, 1.8);
    addReverb(sound, 0.35, 0.4, 0.15);
    finishOneShot(sound, 0.12);
    return sound;
}

Sound planeDeath()
{
    constexpr double length = 1.2;
    constexpr double blastAt = 0.55;
    Noise noise(0xDEAD);

    // The engine: coughing firing pulses that slow down, gated on and off at random, less often as it dies.
    Oscillator engine(Waveform::Saw, rate), cylinder(Waveform::Square, rate);
    Biquad engineTone(Biquad::Type::Lowpass, rate, 1100.0, 0.9);
    OnePole gateSmoothing(OnePole::Type::Lowpass, rate, 40.0);
    Biquad backfire(Biquad::Type::Bandpass, rate, 700.0, 1.0);
    Oscillator dive(Waveform::Sine, rate);
    constexpr double chunk = 0.035; // seconds per on/off choice of the sputter
    int chunkIndex = -1;
    double gate = 1.0;
    double lastPop = -1.0;
    Sound sound = render(rate, length, [&](double t) {
        const int current = static_cast<int>(t / chunk);
        if (current != chunkIndex) {
            chunkIndex = current;
            const double wasOn = gate;
            gate = noise.chance(0.95 - 1.2 * t) ? 1.0 : 0.0;
            if (gate > wasOn && t > 0.1)
                lastPop = t;
        }
        const double hz = expSweep(t, blastAt, 105.0, 52.0);
        const double fading = 1.0 - smoothStep(blastAt - 0.1, blastAt + 0.15, t);
        const double running = gateSmoothing.process(static_cast<float>(gate)) * fading;
        const double motor = engineTone.process(0.6 * engine.next(hz) + 0.4 * cylinder.next(0.5 * hz));
        const double pop = 2.5 * backfire.process(noise.white()) * attackDecay(t - lastPop, 0.0005, 0.01);
        const double whine = 0.12 * dive.next(expSweep(t, 1.0, 950.0, 380.0)) * smoothStep(0.0, 0.1, t) * fading;
        return 0.6 * running * motor + (lastPop >= 0.0 ? pop * fading : 0.0) + whine;
    });
    Sound blast = explosion(length - blastAt, 0.55, 0xB1A5);
    softClip(blast, 1.8);
    mixInto(sound, blast, blastAt, 1.5);
    addReverb(sound, 0.4, 0.5, 0.15);
    finishOneShot(sound, 0.15);
    return sound;
}

} // namespace synth
