#pragma once

#include "Sound.h"

#include <filesystem>

namespace synth {

// Writes `sound` as a 16-bit PCM mono WAV file; throws std::runtime_error naming the file if that fails.
void writeWav(const std::filesystem::path& file, const Sound& sound);

} // namespace synth
