// Synthesizes every sound of the game, the same bytes on every run (fixed seeds, no recordings):
//   sound_generator assets/sound
// WAV files are written directly; MP3 files go through the lame encoder, which must be on the PATH.
#include "InterfaceSounds.h"
#include "Mix.h"
#include "Mp3Encoder.h"
#include "Music.h"
#include "WavFile.h"
#include "WeaponSounds.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <iostream>
#include <stdexcept>

namespace {

// Peak levels in dBFS. An MP3 decoder rebuilds sharp transients a little above the level that went in, so
// those files get extra headroom against clipping on playback.
constexpr double wavPeakDb = -1.0;
constexpr double mp3PeakDb = -1.5;

struct Asset {
    const char* file;
    synth::Sound (*make)();
    int kilobitsPerSecond; // 0 for a WAV file
    const char* title;
};

// The file names are the ones the game loads.
constexpr Asset assets[] = {
    {"JungleParty.mp3", synth::jungleParty, 128, "Jungle Party"},
    {"drumloop.wav", synth::drumLoop, 0, nullptr},
    {"bomb_explosion.mp3", synth::bombExplosion, 96, "Bomb Explosion"},
    {"bomb_drop.mp3", synth::bombDrop, 96, "Bomb Drop"},
    {"Gatling Gun Fire.mp3", synth::gatlingFire, 96, "Gatling Gun Fire"},
    {"shotgun_fire.mp3", synth::shotgunFire, 96, "Shotgun Fire"},
    {"health.mp3", synth::health, 96, "Health"},
    {"dash.mp3", synth::dash, 96, "Dash"},
    {"Impact.mp3", synth::impact, 96, "Impact"},
    {"pickUp.wav", synth::pickUp, 0, nullptr},
    {"basicShot.wav", synth::basicShot, 0, nullptr},
    {"planeDeath.wav", synth::planeDeath, 0, nullptr},
    {"menuSelect.wav", synth::menuSelect, 0, nullptr},
    {"upDown.wav", synth::upDown, 0, nullptr},
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: sound_generator OUTPUT_DIRECTORY\n";
        return 2;
    }
    try {
        // Checked first, so a missing encoder does not leave half the files rewritten.
        if (!synth::lameAvailable())
            throw std::runtime_error("the MP3 encoder lame is not on the PATH (Debian package lame)");
        const std::filesystem::path directory = argv[1];
        std::error_code error;
        std::filesystem::create_directories(directory, error);
        if (error)
            throw std::runtime_error("cannot create " + directory.string() + ": " + error.message());
        for (const Asset& asset : assets) {
            synth::Sound sound = asset.make();
            const std::filesystem::path file = directory / asset.file;
            if (asset.kilobitsPerSecond == 0) {
                synth::normalize(sound, wavPeakDb);
                synth::writeWav(file, sound);
            } else {
                synth::normalize(sound, mp3PeakDb);
                synth::writeMp3(file, sound, {asset.kilobitsPerSecond, asset.title});
            }
            std::printf("%s  %.2f s  %d Hz\n", file.c_str(), sound.seconds(), sound.sampleRate);
        }
    } catch (const std::exception& e) {
        std::cerr << "sound_generator: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
