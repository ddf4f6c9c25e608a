#pragma once

#include "game/sound/audio/AudioSystem.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace skyscuffle {

struct SoundEntry;

// Decodes sounds on the loader thread, off the main thread's start-up, and
// hands them back to the main thread when asked. Decodes still running when
// it goes are waited for: they read the open device's format.
class SoundDecoder {
public:
    struct Result {
        std::shared_ptr<SoundEntry> entry;
        std::unique_ptr<audio::AudioSound> sound; // null when the file could not be decoded
        std::string error;
    };

    explicit SoundDecoder(const audio::AudioSystem& system);
    SoundDecoder(const SoundDecoder&) = delete;
    SoundDecoder& operator=(const SoundDecoder&) = delete;
    ~SoundDecoder();

    // Queues the decoding of `path` for `entry` (decoded here and now when the
    // loader thread has stopped).
    void queue(std::shared_ptr<SoundEntry> entry, const std::string& path, audio::Mode mode);
    // The decodes finished since the last call, in the order they finished.
    std::vector<Result> takeFinished();
    // Blocks until every queued decode has finished.
    void waitForAll();

private:
    struct Shared {
        std::mutex mutex;
        std::condition_variable idle;
        std::vector<Result> finished;
        int outstanding = 0;
    };

    const audio::AudioSystem& system_;
    std::shared_ptr<Shared> shared_;
};

} // namespace skyscuffle
