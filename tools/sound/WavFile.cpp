#include "WavFile.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace synth {

namespace {

// WAV is little-endian whatever the machine is; write byte by byte.
void put16(std::vector<char>& out, std::uint16_t value)
{
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>(value >> 8));
}

void put32(std::vector<char>& out, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

void putTag(std::vector<char>& out, const char (&tag)[5])
{
    out.insert(out.end(), tag, tag + 4);
}

} // namespace

void writeWav(const std::filesystem::path& file, const Sound& sound)
{
    constexpr std::uint16_t bytesPerSample = 2;
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(sound.samples.size() * bytesPerSample);
    std::vector<char> bytes;
    bytes.reserve(44 + dataBytes);
    putTag(bytes, "RIFF");
    put32(bytes, 36 + dataBytes);
    putTag(bytes, "WAVE");
    putTag(bytes, "fmt ");
    put32(bytes, 16); // size of the format chunk
    put16(bytes, 1);  // integer PCM
    put16(bytes, 1);  // mono
    put32(bytes, static_cast<std::uint32_t>(sound.sampleRate));
    put32(bytes, static_cast<std::uint32_t>(sound.sampleRate) * bytesPerSample);
    put16(bytes, bytesPerSample); // bytes per frame
    put16(bytes, 8 * bytesPerSample);
    putTag(bytes, "data");
    put32(bytes, dataBytes);
    for (float x : sound.samples) {
        const long value = std::lround(std::clamp(x, -1.0f, 1.0f) * 32767.0f);
        put16(bytes, static_cast<std::uint16_t>(static_cast<std::int16_t>(value)));
    }

    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        throw std::runtime_error("cannot write " + file.string());
}

} // namespace synth
