#include "ReplayFeed.h"

#include "engine/network/NetworkSystem.h"

#include <cmath>

namespace kit {

ReplayFeed::ReplayFeed(std::shared_ptr<const Replay> replay) : replay_(std::move(replay))
{
    if (!replay_)
        replay_ = std::make_shared<const Replay>();
}

std::size_t ReplayFeed::playUntil(NetworkSystem& network, float seconds)
{
    if (!std::isfinite(seconds) || seconds < 0.0f)
        return 0;
    const double until = static_cast<double>(seconds) * 1000.0;
    std::size_t handed = 0;
    NetPeer::Packet packet;
    packet.sender = NetAddress{0, 0}; // the replay: no address a connection can have
    while (next_ < replay_->records.size() && replay_->records[next_].milliseconds <= until) {
        packet.data = replay_->records[next_].bytes;
        ++next_;
        network.handlePacket(packet);
        ++handed;
    }
    return handed;
}

} // namespace kit
