#include "ReplayPlayback.h"

#include "PlaneFollow.h"

#include "engine/core/Log.h"
#include "engine/core/Translation.h"
#include "engine/core/World.h"
#include "engine/input/Keyboard.h"
#include "engine/input/Keys.h"
#include "engine/network/NetworkSystem.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace skyscuffle {
namespace {

std::string clock(float seconds)
{
    const int whole = static_cast<int>(std::max(seconds, 0.0f));
    char text[16];
    std::snprintf(text, sizeof text, "%d:%02d", whole / 60, whole % 60);
    return text;
}

std::string speedText(float speed)
{
    return speed == 0.5f ? "1/2x" : std::to_string(static_cast<int>(speed)) + "x";
}

} // namespace

ReplayPlayback::ReplayPlayback(std::shared_ptr<const kit::Replay> replay, Pace start, Restart restart,
                               std::function<bool()> ready)
    : feed_(std::move(replay)), start_(std::move(start)), restart_(std::move(restart)), ready_(std::move(ready)),
      speed_(std::min(start_.speed, std::size(speeds) - 1)), paused_(start_.paused),
      followPending_(!start_.following.empty())
{
    addClassTags<ReplayPlayback>("replayPlayback");
    // Before the network system (-10): a packet that is due is handled in
    // the frame it comes due, before anything moves.
    setUpdatePriority(-11.0f);
}

float ReplayPlayback::length() const
{
    return feed_.replay().header.seconds;
}

void ReplayPlayback::initialize()
{
    world->timeScale = 0.0f; // nothing moves before the start (see update)
    if (world->keyboard)
        keys_.emplace_back(world->keyboard->keyPressed.connect([this](kit::Keyboard::KeyInfo key) {
            switch (key.key) {
            case kit::keys::space:
                togglePause();
                break;
            case kit::keys::right:
                seek(time_ + seekSeconds);
                break;
            case kit::keys::left:
                seek(time_ - seekSeconds);
                break;
            case kit::keys::up:
                faster();
                break;
            case kit::keys::down:
                slower();
                break;
            case kit::keys::period:
                stepFrame();
                break;
            case kit::keys::f:
                followNext();
                break;
            case kit::keys::c:
                clipLastSeconds();
                break;
            default:
                break;
            }
        }));
}

void ReplayPlayback::onRemoved()
{
    keys_.clear();
}

void ReplayPlayback::update(float dt)
{
    if (!started_) {
        // Once the match's pictures are loaded: caught up to where the
        // playback starts in the next update, then on at its pace.
        if (ready_ && !ready_())
            return;
        started_ = true;
        world->catchUp = std::clamp(std::isfinite(start_.at) ? start_.at : 0.0f, 0.0f, length());
        applyPace();
        return;
    }
    underway_ = true;
    time_ += dt;
    // At the end, the last records too: stamped to the nearest millisecond,
    // they may lie a little past it. The feed hands over a step's worth at
    // a time, so what is due comes over as many updates as it takes, the
    // ones of a pause at the end included.
    if (kit::NetworkSystem* network = kit::NetworkSystem::of(world))
        feed_.playUntil(*network, time_ >= length() ? length() + 1.0f : time_);
    if (followPending_ && time_ >= start_.at) {
        followPending_ = false;
        follow(start_.following);
    }
    if (time_ >= length() && !paused_) {
        // The end: the last picture stays.
        paused_ = true;
        time_ = std::max(length(), 0.0f);
        applyPace();
    }
}

void ReplayPlayback::applyPace()
{
    if (world && started_)
        world->timeScale = paused_ ? 0.0f : speeds[speed_];
}

void ReplayPlayback::togglePause()
{
    if (paused_ && time_ >= length())
        return; // at the end: only back
    paused_ = !paused_;
    applyPace();
    kit::log::info() << (paused_ ? "Replay paused at " + clock(time_)
                                 : "Replay playing at " + speedText(speeds[speed_]));
}

void ReplayPlayback::seek(float to)
{
    to = std::clamp(std::isfinite(to) ? to : 0.0f, 0.0f, length());
    kit::log::info() << "Replay at " << clock(to);
    if (to >= time_) {
        if (world)
            world->catchUp = to - time_;
        return;
    }
    // Back: the match is built again and caught up to the moment.
    if (restart_)
        restart_(Pace{to, speed_, paused_ && to < length(), following_, start_.overlay});
}

void ReplayPlayback::faster()
{
    speed_ = std::min(speed_ + 1, std::size(speeds) - 1);
    applyPace();
    kit::log::info() << "Replay playing at " << speedText(speeds[speed_]);
}

void ReplayPlayback::slower()
{
    speed_ = speed_ > 0 ? speed_ - 1 : 0;
    applyPace();
    kit::log::info() << "Replay playing at " << speedText(speeds[speed_]);
}

void ReplayPlayback::stepFrame()
{
    if (paused_ && world && time_ < length())
        world->catchUp = kit::World::maxStep;
}

void ReplayPlayback::clipLastSeconds()
{
    if (!clip)
        return;
    if (time_ < 1.0f) {
        notice_ = kit::tr("A clip needs a second of the match behind it");
        return;
    }
    const float from = std::max(time_ - clipSeconds, 0.0f);
    notice_ = clip(from, time_ - from);
}

void ReplayPlayback::followNext()
{
    if (world)
        follow(planeFollow::nextAfter(*world, following_));
}

void ReplayPlayback::follow(const std::string& colourName)
{
    following_ = planeFollow::follow(*world, colourName);
    kit::log::info() << "Replay following " << (following_.empty() ? std::string("everyone") : following_);
}

std::string ReplayPlayback::status() const
{
    std::string text = (paused_ ? (time_ >= length() ? kit::tr("End") : kit::tr("Paused")) : kit::tr("Playing")) + " " +
                       speedText(speeds[speed_]) + "  " + clock(time_) + " / " + clock(length());
    if (!following_.empty())
        text += "  " + kit::format(kit::tr("following {1}"), {kit::tr(following_.c_str())});
    text += "\n" + kit::tr("Space pause   Left/Right 10 s   Up/Down speed") + "\n" +
            kit::tr(". one frame   F follow   C clip   Esc back");
    return notice_.empty() ? text : text + "\n" + notice_;
}

} // namespace skyscuffle
