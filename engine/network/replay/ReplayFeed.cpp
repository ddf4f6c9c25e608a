#include "ReplayFeed.h"

#include "engine/network/NetworkSystem.h"

#include "engine/core/World.h"

#include <algorithm>
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
    while (handed < maxPerPlay && next_ < replay_->records.size() && replay_->records[next_].milliseconds <= until) {
        const ReplayRecord& record = replay_->records[next_];
        packet.data = record.bytes;
        ++next_;
        network.handlePacket(packet);
        ++handed;
        if (record.kind == ReplayRecord::Kind::calls)
            ++callBatches_;
        else if (checking)
            compare(network, record.bytes);
    }
    return handed;
}

void ReplayFeed::compare(NetworkSystem& network, const std::vector<std::uint8_t>& bytes)
{
    World* world = network.world;
    NetStream in(bytes.data(), bytes.size());
    std::uint8_t id = 0;
    std::uint32_t sender = 0;
    std::string screen;
    if (!world || !in.read(id) || !in.read(sender) || !in.read(screen))
        return;
    ++check_.statePackets;
    bool more = false;
    while (in.read(more) && more) {
        EntityID entity;
        std::string typeName;
        NetStream state;
        if (!in.read(entity) || !in.read(typeName) || !in.read(state))
            return;
        ++check_.records;
        const std::optional<TagId> tag = findTagId(typeName);
        Component* component = tag ? world->getComponent(entity, *tag) : nullptr;
        if (!component) {
            ++check_.missing;
            continue;
        }
        NetStream now;
        now.writing = true;
        component->serialize(now);
        bool same = now.bitsUsed() == state.bitsUsed();
        for (std::size_t bit = 0; same && bit < now.bitsUsed(); bit += 8) {
            // Whole bytes, then the bits of the last one that are in use.
            const std::size_t used = std::min<std::size_t>(8, now.bitsUsed() - bit);
            const auto mask = static_cast<std::uint8_t>(0xFF << (8 - used));
            same = ((now.data()[bit / 8] ^ state.data()[bit / 8]) & mask) == 0;
        }
        Check::Kind& kind = check_.byType[typeName];
        ++kind.records;
        if (!same) {
            ++check_.differing;
            ++kind.differing;
        }
    }
}

} // namespace kit
