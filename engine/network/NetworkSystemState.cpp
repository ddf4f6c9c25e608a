#include "NetworkSystem.h"

#include "HostMigration.h"

#include "engine/core/SortedComponentCollection.h"
#include "engine/core/World.h"
#include "engine/network/stream/CompactState.h"

#include <string>

// A network system's state packets: those this copy builds and sends of what
// it owns, and those of the other copies it applies and passes on.

namespace kit {

namespace {

// Bits a state record takes when it starts at bit `at`: the continuation bit,
// the entity id, the type name (16-bit length, padding to a byte, the bytes)
// and the nested state (32-bit length, the bits).
std::size_t recordBits(std::size_t at, std::size_t nameBytes, std::size_t stateBits)
{
    std::size_t end = at + 1 + 64 + 16;
    end = (end + 7) & ~std::size_t(7);
    end += 8 * nameBytes + 32 + stateBits;
    return end - at;
}

} // namespace

std::vector<NetStream> NetworkSystem::buildStatePackets(std::uint64_t* recordCount) const
{
    const std::uint32_t own = origin();
    std::vector<NetStream> packets;
    std::size_t records = 0;
    auto start = [&] {
        packets.emplace_back();
        packets.back().write(stateUpdateId);
        packets.back().write(own);
        packets.back().write(screenName);
        records = 0;
    };
    start();
    if (world) {
        ComponentCollection* networked = world->getComponentCollection(tagId("networked"));
        for (auto it = networked->begin(); it != networked->end(); ++it) {
            Component* c = *it;
            if (c->entityId.origin != own)
                continue;
            NetStream state;
            c->serialize(state);
            const std::string type = c->networkTypeName();
            const std::size_t bits = recordBits(packets.back().bitsUsed(), type.size(), state.bitsUsed());
            // The end bit must fit too; a record too large for any packet goes alone.
            if (records > 0 && packets.back().bitsUsed() + bits + 1 > 8 * maxStatePacketBytes) {
                packets.back().write(false);
                start();
            }
            NetStream& packet = packets.back();
            if (recordCount)
                ++*recordCount;
            packet.write(true);
            packet.write(c->entityId);
            packet.write(type);
            packet.write(state);
            ++records;
        }
    }
    packets.back().write(false);
    return packets;
}

void NetworkSystem::sendState()
{
    flushCalls(); // spawns before the state of what they spawn
    const bool active = peer->isActive();
    if (!active && !tap)
        return;
    for (const NetStream& packet : buildStatePackets(&traffic.recordsBuilt)) {
        if (tap)
            tap->state({packet.data(), packet.bytesUsed()});
        if (!active)
            continue;
        // Packed for the wire; in full should it not pack.
        const std::optional<std::vector<std::uint8_t>> packed = compactState::pack(packet.data(), packet.bytesUsed());
        const std::uint8_t* bytes = packed ? packed->data() : packet.data();
        const std::size_t size = packed ? packed->size() : packet.bytesUsed();
        traffic.stateSent += size * peer->broadcast(bytes, size, NetPeer::Reliability::unreliableSequenced, 0);
    }
}

void NetworkSystem::applyState(const NetPeer::Packet& packet, const std::vector<std::uint8_t>& wire)
{
    NetStream in(packet.data.data(), packet.data.size());
    std::uint8_t id = 0;
    in.read(id);
    std::uint32_t sender = 0;
    std::string senderScreen;
    if (!in.read(sender))
        return; // not even an origin: nothing to record, apply or pass on
    in.read(senderScreen);
    const std::uint32_t own = origin();
    ConnectionGuard& from = guardOf(packet.sender);
    if (isServer()) {
        // A connection is the copy its first state names, and stays it.
        const bool known = from.origin.has_value();
        if (!identify(from, sender)) {
            from.refuse(clock_, "state in the name of copy " + originText(sender) + ", not its own");
            return;
        }
        // Its calls held so far left before this state: they run first.
        if (!known) {
            for (std::vector<std::uint8_t>& held : from.takeHeld()) {
                NetPeer::Packet waiting{std::move(held), packet.sender, packet.guid};
                if (waiting.id() == remoteCallsId)
                    runCalls(waiting);
                else
                    migration_->intercept(waiting); // a replay, which waited for its maker to be known too
            }
        }
    }
    // What a recording is told: the records applied here, as they came.
    const bool recording = tap && sender != own;
    NetStream passed;
    if (recording) {
        passed.write(stateUpdateId);
        passed.write(sender);
        passed.write(senderScreen);
    }
    if (sender != own) {
        PeerRecord& record = peers_[sender];
        record.address = packet.sender;
        record.origin = sender;
        record.screenName = std::move(senderScreen);
        record.heardAt = clock_;
    }
    auto record = [&] {
        if (!recording)
            return;
        passed.write(false);
        tap->state({passed.data(), passed.bytesUsed()});
    };
    const TagId networked = tagId("networked");
    const float copies = copiesThrough(from);

    bool more = false;
    std::size_t records = 0;
    std::vector<EntityID> updated; // the entities whose records were applied, each once
    while (in.read(more) && more) {
        EntityID entity;
        std::string typeName;
        NetStream state;
        in.read(entity);
        in.read(typeName);
        in.read(state);
        // Beyond what an honest copy sends: the rest of the packet is dropped
        // and it goes no further.
        if (++records > limits.recordsPerPacket || !from.records.take(clock_, 1.0f, copies)) {
            from.refuse(clock_, records > limits.recordsPerPacket ? "a state packet of too many records"
                                                                  : "state records beyond their budget");
            ++traffic.recordsDropped;
            record();
            return;
        }
        // A copy sends only the state of what it owns: a record about anyone
        // else's entity, or about a component that is not replicated, is skipped.
        if (entity.origin != sender || sender == own)
            continue;
        const std::optional<TagId> tag = findTagId(typeName);
        Component* target = (tag && world) ? world->getComponent(entity, *tag) : nullptr;
        if (target && target->hasTag(networked)) {
            // The component checks what it reads and keeps its state when the
            // record is broken.
            state.writing = false;
            target->serialize(state);
            ++traffic.recordsApplied;
            if (updated.empty() || updated.back() != entity)
                updated.push_back(entity);
            if (recording) {
                passed.write(true);
                passed.write(entity);
                passed.write(typeName);
                passed.write(state);
            }
        }
    }
    record();
    // Whoever follows an entity's records learns they came, once all of them are in.
    if (world && !updated.empty()) {
        const TagId follows = tagId("followsState");
        const float delay = oneWayDelay(sender);
        for (const EntityID& entity : updated)
            if (Component* follower = world->getComponent(entity, follows))
                follower->stateArrived(delay);
    }

    traffic.stateSent += wire.size() * peer->broadcast(wire.data(), wire.size(),
                                                       NetPeer::Reliability::unreliableSequenced, 0, packet.sender);
}

} // namespace kit
