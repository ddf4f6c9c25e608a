#include "ReplayRecorder.h"

#include "engine/core/Log.h"
#include "engine/network/NetworkSystem.h"

#include <algorithm>
#include <cmath>

namespace kit {

ReplayRecorder::ReplayRecorder(NetworkSystem* network, float stateEvery)
    : network_(network),
      stateEveryMs_(static_cast<std::uint32_t>(std::clamp(std::isfinite(stateEvery) ? stateEvery : 0.0f, 0.0f, 10.0f) *
                                               1000.0f))
{
    if (network_)
        network_->tap = this;
}

ReplayRecorder::~ReplayRecorder()
{
    stop();
}

void ReplayRecorder::stop()
{
    if (network_ && network_->tap == this)
        network_->tap = nullptr;
    network_ = nullptr;
}

void ReplayRecorder::state(std::span<const std::uint8_t> packet)
{
    if (packet.size() < 5)
        return; // not even a sender
    const std::uint32_t sender = (std::uint32_t{packet[1]} << 24) | (std::uint32_t{packet[2]} << 16) |
                                 (std::uint32_t{packet[3]} << 8) | std::uint32_t{packet[4]};
    const auto now = static_cast<std::uint32_t>(std::lround(seconds_ * 1000.0f));
    // A send's packets share their time; a send comes about every 33 ms, so
    // a gap of 3/4 of the interval takes every other one at 15 a second.
    const auto last = lastStateMs_.find(sender);
    if (last != lastStateMs_.end() && now != last->second && now - last->second < stateEveryMs_ * 3 / 4)
        return;
    lastStateMs_[sender] = now;
    add(ReplayRecord::Kind::state, packet);
}

void ReplayRecorder::advance(float dt)
{
    if (std::isfinite(dt) && dt > 0.0f)
        seconds_ += dt; // the recording's time never goes back
}

void ReplayRecorder::add(ReplayRecord::Kind kind, std::span<const std::uint8_t> bytes)
{
    if (bytes.empty())
        return; // nothing to keep
    if (full_) {
        ++leftOut_;
        return;
    }
    const auto now = static_cast<std::uint32_t>(std::lround(seconds_ * 1000.0f));
    const ReplayTally::Verdict verdict =
        seconds_ >= replayFile::maxSeconds - 1.0f ? ReplayTally::Verdict::full : tally_.admit(now, bytes.size());
    switch (verdict) {
    case ReplayTally::Verdict::fits:
        records_.push_back(ReplayRecord{kind, now, {bytes.begin(), bytes.end()}});
        break;
    case ReplayTally::Verdict::badSize:
        leaveOut(kind, std::to_string(bytes.size()) + " bytes, more than a packet holds");
        break;
    case ReplayTally::Verdict::busySecond:
        leaveOut(kind, "more than " + std::to_string(replayFile::maxRecordsPerSecond) + " packets in one second");
        break;
    case ReplayTally::Verdict::full:
        full_ = true;
        ++leftOut_;
        log::warn() << "The replay is full: the rest of this match is not recorded";
        break;
    }
}

void ReplayRecorder::leaveOut(ReplayRecord::Kind kind, const std::string& why)
{
    if (leftOut_++ == 0)
        log::warn() << "The replay leaves out a " << (kind == ReplayRecord::Kind::calls ? "call batch" : "state packet")
                    << " it cannot keep (" << why << "); any more are counted, not told";
}

Replay ReplayRecorder::replay(ReplayHeader header) const
{
    header.seconds = seconds_;
    return Replay{std::move(header), records_};
}

} // namespace kit
