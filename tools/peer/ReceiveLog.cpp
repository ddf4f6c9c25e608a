#include "ReceiveLog.h"

#include "ScriptLexer.h"

#include "engine/network/CallBatch.h"
#include "engine/network/MessageIdentifiers.h"
#include "engine/network/NetworkSystem.h"
#include "engine/network/stream/CompactState.h"
#include "engine/network/stream/NetStream.h"

namespace peer {

void ReceiveLog::event(const char* what, const kit::NetPeer::Packet& packet)
{
    std::fprintf(out_, "event %s %s\n", what, packet.sender.toString().c_str());
}

void ReceiveLog::handle(const kit::NetPeer::Packet& packet, double now)
{
    ++packets_;
    namespace message = kit::message;
    switch (packet.id()) {
    case message::connectionRequestAccepted:
        event("connected to", packet);
        break;
    case message::connectionAttemptFailed:
        event("connection attempt failed to", packet);
        break;
    case message::newIncomingConnection:
        event("copy connected from", packet);
        break;
    case message::noFreeIncomingConnections:
        event("server full at", packet);
        break;
    case message::disconnectionNotification:
        event("disconnected from", packet);
        break;
    case message::connectionLost:
        event("connection lost with", packet);
        break;
    case kit::NetworkSystem::stateUpdateId:
        state(packet);
        break;
    case kit::compactState::id: {
        // Read as the game reads it: in full.
        const auto full = kit::compactState::unpack(packet.data.data(), packet.data.size(), 256);
        if (full)
            state(kit::NetPeer::Packet{*full, packet.sender, packet.guid});
        else
            ++malformed_;
        break;
    }
    case kit::NetworkSystem::remoteCallsId:
        remoteCalls(packet, now);
        break;
    case 0:
        if (packet.data.size() == 1)
            break; // an empty call batch
        [[fallthrough]];
    default:
        std::fprintf(out_, "packet id %d, %zu bytes from %s\n", packet.id(), packet.data.size(),
                     packet.sender.toString().c_str());
    }
    tick(now);
}

void ReceiveLog::state(const kit::NetPeer::Packet& packet)
{
    kit::NetStream in(packet.data.data(), packet.data.size());
    std::uint8_t id = 0;
    std::uint32_t origin = 0;
    std::string screen;
    in.read(id);
    if (!in.read(origin) || !in.read(screen)) {
        ++malformed_;
        return;
    }
    if (!firstCopy)
        firstCopy = origin;
    screens[origin] = ScriptLexer::shown(screen);
    Heard& heard = second_[origin];
    heard.screen = screens[origin];
    ++heard.packets;
    bool more = false;
    // Bounded by the packet: every record takes at least one bit.
    while (in.read(more) && more) {
        kit::EntityID entity;
        std::string type;
        kit::NetStream body;
        if (!in.read(entity) || !in.read(type) || !in.read(body)) {
            ++malformed_;
            break;
        }
        ++heard.records[ScriptLexer::shown(type)];
        ++records_;
    }
}

void ReceiveLog::remoteCalls(const kit::NetPeer::Packet& packet, double now)
{
    tick(now);
    kit::CallBatchReader in(packet.data.data(), packet.data.size());
    while (std::optional<kit::BatchedCall> call = in.next()) {
        kit::NetStream& arguments = call->arguments;
        const std::string shown = ScriptLexer::shown(call->name);
        ++calls[shown];
        ++callCount_;
        kit::EntityID entity;
        arguments.read(entity);
        if (callLines_ < callLinesPerSecond) {
            ++callLines_;
            std::fprintf(out_, "call %s entity %08x:%u, %zu bits of arguments\n", shown.c_str(), entity.origin,
                         entity.serial, arguments.bitsUsed());
        } else {
            ++callsUnshown_;
        }
    }
    if (in.broken())
        ++malformed_;
}

void ReceiveLog::tick(double now, bool force)
{
    if (!force && now - secondStart_ < 1.0)
        return;
    for (const auto& [origin, heard] : second_) {
        std::fprintf(out_, "state from %08x screen \"%s\": %ld packets", origin, heard.screen.c_str(), heard.packets);
        for (const auto& [type, count] : heard.records)
            std::fprintf(out_, ", %s %ld", type.c_str(), count);
        std::fprintf(out_, "\n");
    }
    if (callsUnshown_ > 0)
        std::fprintf(out_, "calls not shown this second: %ld\n", callsUnshown_);
    second_.clear();
    callLines_ = 0;
    callsUnshown_ = 0;
    secondStart_ = now;
    std::fflush(out_);
}

void ReceiveLog::summary()
{
    std::fprintf(out_, "received %ld packets, %ld calls, %ld state records, %ld malformed\n", packets_, callCount_,
                 records_, malformed_);
    for (const auto& [name, count] : calls)
        std::fprintf(out_, "received call %s x%ld\n", name.c_str(), count);
    std::fflush(out_);
}

} // namespace peer
