#pragma once

#include "ReplayFile.h"

#include <map>
#include <memory>
#include <string>

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

    // Hands over, in order, the records not yet played whose time is at most
    // `seconds` after the start, up to maxPerPlay of them. Returns how many
    // it handed over.
    std::size_t playUntil(NetworkSystem& network, float seconds);

    // A step's worth of records at the most a replay holds: a twentieth of
    // maxRecordsPerSecond, a twentieth of a second being the longest step a
    // world takes (World::catchUpStep). Records crowded closer than that
    // (a file may put a second's worth at one moment) are handed over in the
    // steps and frames that follow, never all in one.
    static constexpr std::size_t maxPerPlay = replayFile::maxRecordsPerSecond / 20;

    // With `checking` on, after each state packet every record's component
    // is written out again and compared with the record, bit for bit: the
    // played-back world holds what the recording copy had at that moment.
    // (A component may keep something of its own by design, as any copy
    // receiving it would: the figures are per component type.)
    struct Check {
        struct Kind {
            std::size_t records = 0;
            std::size_t differing = 0;
        };
        std::size_t statePackets = 0;
        std::size_t records = 0;
        std::size_t differing = 0; // the component writes other bits than the record
        std::size_t missing = 0;   // no such entity or component here
        std::map<std::string, Kind> byType;
    };
    bool checking = false;
    [[nodiscard]] const Check& check() const { return check_; }
    [[nodiscard]] std::size_t callBatches() const { return callBatches_; }

    [[nodiscard]] const Replay& replay() const { return *replay_; }
    [[nodiscard]] std::size_t played() const { return next_; }
    [[nodiscard]] bool finished() const { return next_ >= replay_->records.size(); }

private:
    void compare(NetworkSystem& network, const std::vector<std::uint8_t>& packet);

    std::shared_ptr<const Replay> replay_;
    std::size_t next_ = 0;
    Check check_;
    std::size_t callBatches_ = 0;
};

} // namespace kit
