#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kit {

// An animated WebP being written: frames of one size go in one by one, each
// shown for its duration, and the file is written whole at the end (through
// a temporary file renamed into place). Lossy at `quality` (0 to 100), as a
// clip to share wants. libwebp stays inside AnimatedWebP.cpp.
class AnimatedWebP {
public:
    AnimatedWebP(int width, int height, float quality = 75.0f);
    AnimatedWebP(const AnimatedWebP&) = delete;
    AnimatedWebP& operator=(const AnimatedWebP&) = delete;
    ~AnimatedWebP();

    // One frame of width * height RGBA pixels, top row first, shown for
    // `milliseconds`. False (nothing added) for a frame of the wrong size
    // or when the encoder fails.
    bool add(const std::vector<std::uint8_t>& rgba, int milliseconds);
    [[nodiscard]] int frames() const { return frames_; }

    // Writes the file; false with one line in `error` when it could not.
    bool write(const std::string& path, std::string& error);

private:
    struct Encoder;
    std::unique_ptr<Encoder> encoder_;
    int width_, height_;
    float quality_;
    int frames_ = 0;
    int elapsed_ = 0; // milliseconds, where the next frame starts
};

// What a WebP file holds, as far as a check needs: its size, frame count
// and the RGBA pixels of every frame (decoded whole). Nothing for a file
// that does not decode, with the reason in `error`.
struct DecodedAnimation {
    int width = 0, height = 0;
    std::vector<std::vector<std::uint8_t>> frames;
    std::vector<int> timestamps; // milliseconds at each frame's end
};
bool decodeAnimatedWebP(const std::string& path, DecodedAnimation& out, std::string& error);

} // namespace kit
