#include "PlayingSound.h"

#include "game/sound/audio/AudioSystem.h"

namespace skyscuffle {

PlayingSound& PlayingSound::operator=(PlayingSound&& other) noexcept
{
    if (this != &other) {
        stop();
        system_ = other.system_;
        channel_ = other.channel_;
        other.system_ = nullptr;
        other.channel_ = {};
    }
    return *this;
}

void PlayingSound::stop()
{
    if (system_ && channel_)
        system_->stop(channel_);
    channel_ = {};
}

} // namespace skyscuffle
