#pragma once

#include "ReplayFile.h"

#include <memory>

namespace kit {

class NetworkSystem;

// Plays a replay's records into a network system as if a host sent them
// (to a joined copy: isServer false, an origin of its own): every record up
// to the time reached, in the recorded order, through handlePacket. The
// network's checks and budgets stay as they are: a replay from anywhere is
// no more trusted than a peer.
class ReplayFeed {
public:
    explicit ReplayFeed(std::shared_ptr<const Replay> replay);

    // Hands over every record not yet played whose time is at most `seconds`
    // after the start. Returns how many it handed over.
    std::size_t playUntil(NetworkSystem& network, float seconds);

    [[nodiscard]] const Replay& replay() const { return *replay_; }
    [[nodiscard]] std::size_t played() const { return next_; }
    [[nodiscard]] bool finished() const { return next_ >= replay_->records.size(); }

private:
    std::shared_ptr<const Replay> replay_;
    std::size_t next_ = 0;
};

} // namespace kit
