#pragma once

#include "game/sound/audio/AudioTypes.h"

struct Mix_Chunk;

namespace skyscuffle {

namespace audio {

// A decoded sound, owned: freed when destroyed.
class AudioSound {
public:
    AudioSound(Mix_Chunk* chunk, Mode mode) : chunk_(chunk), mode_(mode) {}
    AudioSound(const AudioSound&) = delete;
    AudioSound& operator=(const AudioSound&) = delete;
    ~AudioSound();

    [[nodiscard]] Mix_Chunk* chunk() const { return chunk_; }
    [[nodiscard]] Mode mode() const { return mode_; }

private:
    Mix_Chunk* chunk_;
    Mode mode_;
};

} // namespace audio

} // namespace skyscuffle
