#pragma once

#include "ReplayFile.h"
#include "ReplayTally.h"

#include "engine/network/NetworkTap.h"

#include <map>

namespace kit {

class NetworkSystem;

// Records what a copy makes of its session (see NetworkTap) as replay
// records, timed by the recorder's own clock, which its owner advances every
// frame. Taps the network system while it lives.
//
// What it keeps is what a replay's reader takes (ReplayTally): a packet no
// replay may hold (larger than any packet, or one too many in its second)
// is left out and counted, with one line the first time; at the file's
// bounds it stops recording, with one line, and the match goes on.
//
// Every call is kept; of each copy's state, one send in `stateEvery` seconds
// (all the packets of a send, which share its time): between two, playback
// moves things on as a joined copy does between packets. Half the network's
// rate keeps a six-plane match within a megabyte for three minutes.
class ReplayRecorder : public NetworkTap {
public:
    explicit ReplayRecorder(NetworkSystem* network, float stateEvery = 1.0f / 15.0f);
    ReplayRecorder(const ReplayRecorder&) = delete;
    ReplayRecorder& operator=(const ReplayRecorder&) = delete;
    ~ReplayRecorder() override;

    void advance(float dt);
    void calls(std::span<const std::uint8_t> batch) override { add(ReplayRecord::Kind::calls, batch); }
    void state(std::span<const std::uint8_t> packet) override;
    void networkGone() override { network_ = nullptr; }

    // Stops tapping (the match is over); what was recorded stays.
    void stop();

    [[nodiscard]] float seconds() const { return seconds_; }
    [[nodiscard]] std::size_t bytes() const { return tally_.bytes(); }
    // Packets left out, the ones after the recording stopped included.
    [[nodiscard]] std::size_t leftOut() const { return leftOut_; }
    [[nodiscard]] const std::vector<ReplayRecord>& records() const { return records_; }
    // The replay so far, with this header (its length set to the recording's).
    [[nodiscard]] Replay replay(ReplayHeader header) const;

private:
    void add(ReplayRecord::Kind kind, std::span<const std::uint8_t> bytes);
    void leaveOut(ReplayRecord::Kind kind, const std::string& why);

    NetworkSystem* network_;
    std::uint32_t stateEveryMs_;
    std::map<std::uint32_t, std::uint32_t> lastStateMs_; // per sending copy
    std::vector<ReplayRecord> records_;
    ReplayTally tally_;
    float seconds_ = 0.0f;
    std::size_t leftOut_ = 0;
    bool full_ = false;
};

} // namespace kit
