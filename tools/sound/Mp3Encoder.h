#pragma once

#include "Sound.h"

#include <filesystem>
#include <string>

namespace synth {

// MP3 files are made by the `lame` command-line encoder (Debian package lame) from a temporary WAV file.

// True if an executable `lame` is on the PATH.
bool lameAvailable();

struct Mp3Settings {
    int kilobitsPerSecond = 96;
    std::string title; // ID3 title; the artist is always "Skyscuffle"
};

// Encodes `sound` to `file`; throws std::runtime_error with a one-line reason if that fails.
void writeMp3(const std::filesystem::path& file, const Sound& sound, const Mp3Settings& settings);

} // namespace synth
