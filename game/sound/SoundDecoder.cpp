#include "SoundDecoder.h"

#include "engine/resources/ThreadPool.h"

#include <stdexcept>

namespace skyscuffle {

SoundDecoder::SoundDecoder(const audio::AudioSystem& system) : system_(system), shared_(std::make_shared<Shared>())
{
}

SoundDecoder::~SoundDecoder()
{
    waitForAll();
}

void SoundDecoder::queue(std::shared_ptr<SoundEntry> entry, const std::string& path, audio::Mode mode)
{
    {
        std::lock_guard lock(shared_->mutex);
        ++shared_->outstanding;
    }
    auto job = [shared = shared_, &system = system_, entry = std::move(entry), path, mode]() mutable {
        Result result;
        result.entry = std::move(entry);
        result.sound = system.decode(path, mode, result.error);
        std::lock_guard lock(shared->mutex);
        shared->finished.push_back(std::move(result));
        if (--shared->outstanding == 0)
            shared->idle.notify_all();
    };
    try {
        (void)kit::threadPool().enqueue(job);
    } catch (const std::runtime_error&) {
        job(); // the loader thread has stopped (shutting down): decode here
    }
}

std::vector<SoundDecoder::Result> SoundDecoder::takeFinished()
{
    std::vector<Result> taken;
    std::lock_guard lock(shared_->mutex);
    taken.swap(shared_->finished);
    return taken;
}

void SoundDecoder::waitForAll()
{
    std::unique_lock lock(shared_->mutex);
    shared_->idle.wait(lock, [this] { return shared_->outstanding == 0; });
}

} // namespace skyscuffle
