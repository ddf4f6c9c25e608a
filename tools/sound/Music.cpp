#include "Music.h"

#include "Curves.h"
#include "Instruments.h"
#include "Mix.h"
#include "Noise.h"
#include "Percussion.h"
#include "Reverb.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>
#include <string_view>

namespace synth {

namespace {

constexpr int musicRate = 44100;
constexpr int drumLoopRate = 22050;
constexpr int stepsPerBar = 16;

constexpr double congaHz = 220.0;
constexpr double tumbaHz = 160.0;
constexpr double bongoHighHz = 540.0;
constexpr double bongoLowHz = 380.0;

// Where a bar sits in the tune: the verse is sparser, the chorus adds clave, full bongos and a harmony voice;
// a fill bar ends in a hand-drum run into the next phrase.
struct BarRole {
    bool chorus = false;
    bool fill = false;
};

// Timing of the sixteenth-note grid in seconds. Late off-beat sixteenths give the groove its lilt.
struct Grid {
    double step;
    double swing;
};

// One bar of the hand-drum groove (tumbao on the congas, martillo on the bongos, shaker, clave, low drum) into
// `mix`, wrapping round its end. `bar` counts from the start of the piece and picks the side of the clave.
void playPercussionBar(Sound& mix, double barStart, const Grid& grid, int bar, BarRole role, Noise& noise)
{
    const int rate = mix.sampleRate;
    const auto at = [&](int step) {
        const double humanize = noise.uniform(-0.002, 0.002);
        return barStart + step * grid.step + (step % 2 == 1 ? grid.swing : 0.0) + humanize;
    };
    const auto vary = [&](double velocity) { return velocity * noise.uniform(0.88, 1.0); };
    const auto hit = [&](const Sound& sound, int step, double gain) {
        mixInto(mix, sound, at(step), gain, Edge::Wrap);
    };

    hit(lowDrum(rate, vary(1.0)), 0, 0.6);
    hit(lowDrum(rate, vary(0.7)), 8, 0.6);
    if (role.chorus)
        hit(lowDrum(rate, vary(0.5)), 11, 0.6);

    constexpr std::array<double, 4> shakerAccents = {0.55, 0.25, 0.9, 0.3};
    for (int step = 0; step < stepsPerBar; ++step)
        hit(shaker(rate, vary(shakerAccents[step % 4]), noise), step, role.chorus ? 0.16 : 0.12);

    // Tumbao: heel and toe taps, the slap on two, the open tones on four and its "and". A fill bar hands its
    // second half to the run below.
    const int lastGrooveStep = role.fill ? 8 : stepsPerBar;
    for (int step = 0; step < lastGrooveStep; step += 2) {
        if (step == 4)
            hit(conga(rate, congaHz, vary(0.9), Stroke::Slap, noise), step, 0.5);
        else if (step == 12)
            hit(conga(rate, congaHz, vary(0.85), Stroke::Open, noise), step, 0.5);
        else if (step == 14)
            hit(conga(rate, tumbaHz, vary(0.95), Stroke::Open, noise), step, 0.5);
        else
            hit(conga(rate, congaHz, vary(step % 4 == 0 ? 0.6 : 0.4), Stroke::Muted, noise), step, 0.5);
    }
    if (!role.fill && bar % 2 == 1)
        hit(conga(rate, tumbaHz, vary(0.6), Stroke::Open, noise), 15, 0.5);

    if (role.chorus) {
        // Martillo: steady eighths on the small drum, the big one open on the off-beats of two and four.
        constexpr std::array<double, 8> martillo = {0.75, 0.35, 0.6, 0.0, 0.75, 0.35, 0.6, 0.0};
        for (int eighth = 0; eighth < 8 && eighth * 2 < lastGrooveStep; ++eighth) {
            if (martillo[eighth] > 0.0)
                hit(bongo(rate, bongoHighHz, vary(martillo[eighth]), noise), eighth * 2, 0.35);
            else
                hit(bongo(rate, bongoLowHz, vary(0.8), noise), eighth * 2, 0.35);
        }
    } else {
        for (int step : {3, 6, 11})
            if (step < lastGrooveStep)
                hit(bongo(rate, step == 6 ? bongoLowHz : bongoHighHz, vary(0.6), noise), step, 0.35);
    }

    if (role.chorus) {
        // Son clave, three side then two side over each pair of bars.
        constexpr std::array<int, 3> threeSide = {0, 6, 12};
        constexpr std::array<int, 2> twoSide = {4, 8};
        const auto strike = [&](int step) { hit(clave(rate, vary(0.8)), step, 0.22); };
        if (bar % 2 == 0)
            std::ranges::for_each(threeSide, strike);
        else
            std::ranges::for_each(twoSide, strike);
    }

    if (role.fill) {
        // Sixteenths from the bongos down to the tumba, getting louder into the next downbeat.
        constexpr std::array<double, 8> runHz = {bongoHighHz, bongoLowHz, bongoHighHz, bongoLowHz,
                                                 congaHz,     congaHz,    tumbaHz,     tumbaHz};
        for (int i = 0; i < 8; ++i) {
            const double velocity = vary(0.55 + 0.06 * i);
            const int step = 8 + i;
            if (runHz[i] > congaHz)
                hit(bongo(rate, runHz[i], velocity, noise), step, 0.4);
            else
                hit(conga(rate, runHz[i], velocity, Stroke::Open, noise), step, 0.5);
        }
    }
}

struct Chord {
    int bassRoot;             // MIDI note, between C2 and B2
    std::array<int, 3> triad; // MIDI notes of the strummed voicing, close around middle C
};

constexpr Chord chordC{36, {60, 64, 67}};
constexpr Chord chordF{41, {60, 65, 69}};
constexpr Chord chordG{43, {59, 62, 67}};
constexpr Chord chordAm{45, {60, 64, 69}};
constexpr Chord chordDm{38, {62, 65, 69}};

// Verse (bars 1-8), then chorus (bars 9-16), whose last bar turns back to the first.
constexpr std::array<Chord, 16> chords = {chordC,  chordF, chordG, chordC, chordC,  chordF, chordG,  chordG,
                                          chordAm, chordF, chordC, chordG, chordAm, chordF, chordDm, chordG};

// The marimba tune, one bar per string, one token per eighth note: a note name, or "." for none.
constexpr std::array<std::string_view, 16> melody = {
    "G5 . E5 G5 . C6 . G5",  // C
    "A5 . F5 A5 . C6 . A5",  // F
    "G5 . D5 G5 . B5 A5 G5", // G
    "E5 . C5 . E5 G5 . .",   // C
    "G5 . E5 G5 . C6 . E6",  // C
    "D6 . C6 A5 . F5 . A5",  // F
    "G5 . F5 D5 . B4 . D5",  // G
    "G5 . . A5 . B5 . D6",   // G
    "C6 . B5 A5 . E5 . A5",  // Am
    "C6 . A5 F5 . A5 . C6",  // F
    "E6 . D6 C6 . G5 . E5",  // C
    "D5 . G5 . B5 . D6 .",   // G
    "E6 . C6 A5 . C6 E6 .",  // Am
    "F6 . E6 D6 . C6 . A5",  // F
    "D6 . F6 . E6 D6 . A5",  // Dm
    "B5 . G5 . A5 B5 . D6",  // G
};

// Bass figure per bar: eighth position, interval above the root in semitones, length in eighths.
struct BassNote {
    int eighth;
    int interval;
    double eighths;
};
constexpr std::array<BassNote, 4> bassFigure = {{{0, 0, 1.6}, {3, 0, 0.8}, {4, 7, 1.6}, {7, 12, 0.7}}};

// "C5" -> 72, "F#4" -> 66: letter, optional sharp or flat, octave digit.
int parseNote(std::string_view name)
{
    constexpr std::array<int, 7> letterSemitones = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G
    if (name.size() < 2 || name[0] < 'A' || name[0] > 'G')
        throw std::logic_error("bad note name in the tune: " + std::string(name));
    int semitone = letterSemitones[name[0] - 'A'];
    std::size_t i = 1;
    if (name[i] == '#' || name[i] == 'b')
        semitone += name[i++] == '#' ? 1 : -1;
    if (i + 1 != name.size() || name[i] < '0' || name[i] > '9')
        throw std::logic_error("bad note name in the tune: " + std::string(name));
    return 12 * (name[i] - '0' + 1) + semitone;
}

// The note a diatonic third below `note` in C major, for the harmony voice.
int thirdBelow(int note)
{
    constexpr std::array<int, 7> scale = {0, 2, 4, 5, 7, 9, 11};
    const int octave = note / 12;
    int degree = 0;
    while (degree < 6 && scale[degree] < note % 12)
        ++degree;
    const int below = degree - 2;
    return below >= 0 ? 12 * octave + scale[below] : 12 * (octave - 1) + scale[below + 7];
}

void playBar(Sound& mix, double barStart, double eighth, int bar, BarRole role, Noise& noise)
{
    const int rate = mix.sampleRate;
    const Chord& chord = chords[bar];
    const auto place = [&](const Sound& sound, double at, double gain) { mixInto(mix, sound, at, gain, Edge::Wrap); };

    for (const BassNote& note : bassFigure)
        place(bass(rate, noteHz(chord.bassRoot + note.interval), noise.uniform(0.85, 1.0), note.eighths * eighth),
              barStart + note.eighth * eighth, 0.8);

    // Off-beat strums, low string first.
    for (int beat = 0; beat < 4; ++beat) {
        const double strum = barStart + (2 * beat + 1) * eighth;
        for (std::size_t i = 0; i < chord.triad.size(); ++i)
            place(pluck(rate, noteHz(chord.triad[i]), noise.uniform(0.6, 0.8), 0.6 * eighth, noise),
                  strum + 0.006 * static_cast<double>(i), 0.6);
    }

    std::size_t position = 0;
    int token = 0;
    const std::string_view line = melody[bar];
    while (position < line.size()) {
        const std::size_t end = std::min(line.find(' ', position), line.size());
        const std::string_view name = line.substr(position, end - position);
        if (name != ".") {
            const double at = barStart + token * eighth;
            const int note = parseNote(name);
            const double accent = token % 2 == 0 ? 1.0 : 0.85;
            place(marimba(rate, noteHz(note), accent * noise.uniform(0.85, 1.0), noise), at, 0.5);
            if (role.chorus)
                place(marimba(rate, noteHz(thirdBelow(note)), 0.8 * accent, noise), at + 0.004, 0.25);
        }
        position = end + 1;
        ++token;
    }

    const Grid grid{eighth / 2.0, 0.012};
    playPercussionBar(mix, barStart, grid, bar, role, noise);
}

} // namespace

Sound jungleParty()
{
    constexpr double bpm = 120.0;
    const double eighth = 30.0 / bpm;
    Sound mix(musicRate, chords.size() * 8 * eighth);
    Noise noise(0x5CF1);
    for (int bar = 0; bar < static_cast<int>(chords.size()); ++bar) {
        const BarRole role{bar >= 8, bar % 8 == 7};
        playBar(mix, bar * 8 * eighth, eighth, bar, role, noise);
    }
    addReverb(mix, 0.55, 0.5, 0.18, true);
    softClip(mix, 1.5);
    finishLoop(mix);
    return mix;
}

Sound drumLoop()
{
    constexpr double bpm = 128.0;
    constexpr int bars = 2;
    const Grid grid{15.0 / bpm, 0.01};
    Sound mix(drumLoopRate, bars * stepsPerBar * grid.step);
    Noise noise(0xD4C1);
    for (int bar = 0; bar < bars; ++bar)
        playPercussionBar(mix, bar * stepsPerBar * grid.step, grid, bar, BarRole{true, bar == bars - 1}, noise);
    addReverb(mix, 0.4, 0.5, 0.15, true);
    softClip(mix, 1.3);
    finishLoop(mix);
    return mix;
}

} // namespace synth
