#include "NetPeerImpl.h"

#include "MessageIdentifiers.h"

#include "engine/core/Log.h"

// The hello both sides of a connection say, and who may connect at all: a
// connection carries game packets only once both sides know each other's id
// and speak the same version.

namespace kit {

void NetPeer::Impl::sendHello(ENetPeer* peer)
{
    std::uint8_t bytes[helloBytes];
    writeGuid(bytes, guid);
    writeGuid(bytes + 4, protocol);
    const std::size_t size = legacy() ? legacyHelloBytes : helloBytes;
    enet_peer_send(peer, helloChannel, enet_packet_create(bytes, size, ENET_PACKET_FLAG_RELIABLE));
}

// The other side speaks another version: both sides are told, and the
// connection ends. `version` is the other side's (legacyProtocol for a
// hello without one).
void NetPeer::Impl::refuse(ENetPeer* peer, Link& link, std::uint32_t version)
{
    link.refused = true;
    std::uint8_t bytes[5] = {message::incompatibleProtocol};
    writeGuid(bytes + 1, version);
    inbox.push_back(Packet{{bytes, bytes + sizeof bytes}, fromEnet(peer->address), link.guid});
    // The connecting side still says its hello, so that the other side
    // learns which version it met; the end follows what is queued.
    if (!link.incoming && !legacy())
        sendHello(peer);
    enet_peer_disconnect_later(peer, reasonVersion);
}

// The hello ends the wait: the link carries game packets, those that came
// early first, or it ends for another version.
void NetPeer::Impl::hello(ENetPeer* peer, Link& link, const ENetPacket& packet)
{
    if (link.established || link.refused)
        return;
    if (legacy() && packet.dataLength != legacyHelloBytes)
        return; // as those copies did: a hello they cannot read is none
    const bool full = packet.dataLength == helloBytes;
    const std::uint32_t version = full ? readGuid(packet.data + 4) : NetPeer::legacyProtocol;
    if (!(full || packet.dataLength == legacyHelloBytes) || version != protocol) {
        refuse(peer, link, version);
        return;
    }
    if (!link.incoming) {
        link.guid = readGuid(packet.data);
        if (!legacy())
            sendHello(peer); // the accepting side waits for ours
    }
    link.established = true;
    deliver(link.incoming ? message::newIncomingConnection : message::connectionRequestAccepted, peer->address,
            link.guid);
    for (Packet& early : link.early) {
        early.guid = link.guid;
        inbox.push_back(std::move(early));
    }
    link.early.clear();
    link.earlyBytes = 0;
}

// Connections opened to us that never said hello.
void NetPeer::Impl::refuseSilent()
{
    const auto now = std::chrono::steady_clock::now();
    for (auto& [peer, link] : links) {
        if (link.incoming && !link.established && !link.refused && now - link.opened > helloWait)
            refuse(peer, link, NetPeer::legacyProtocol);
    }
}

void NetPeer::Impl::onConnect(const ENetEvent& event)
{
    auto known = links.find(event.peer);
    if (known == links.end()) {
        // Opened by the other side; its id came with the request.
        if (event.data == guid) {
            enet_peer_disconnect(event.peer, reasonSelf);
            return;
        }
        if (incomingCount() >= maxIncoming) {
            enet_peer_disconnect(event.peer, reasonFull);
            return;
        }
        const float now = seconds();
        const NetAddress from = fromEnet(event.peer->address);
        const bool loopback = (from.ip >> 24) == 127; // copies on this machine
        if ((!loopback || limitsLoopback) && !attempts.allow(from.ip, now)) {
            enet_peer_disconnect(event.peer, reasonTooOften);
            if (toldTooOftenAt < 0.0f || now - toldTooOftenAt >= 1.0f) {
                toldTooOftenAt = now;
                log::warn() << "Refused a connection from " << from.ipString() << ": it has opened too many of late";
            }
            return;
        }
        if (ENetPeer* ours = find(fromEnet(event.peer->address))) {
            // A connection made with that address and port (opened by either
            // side), and now another from there under another id: the other
            // side started again there (it crashed), and the old one is dead.
            // It is lost now rather than when its silence runs out.
            const Link& old = links[ours];
            const bool startedAgain = old.established && old.guid != event.data;
            // Otherwise both sides connecting to each other at once: the
            // connection opened by the side with the lower id is kept, on
            // both sides.
            if (!startedAgain && guid < event.data) {
                enet_peer_disconnect(event.peer, reasonDuplicate);
                return;
            }
            if (startedAgain)
                deliver(message::connectionLost, ours->address, old.guid);
            links.erase(ours);
            enet_peer_reset(ours);
        }
        Link& link = links[event.peer] = Link{};
        link.incoming = true;
        link.guid = event.data;
        enet_peer_timeout(event.peer, 0, timeoutMs, timeoutMs);
        sendHello(event.peer);
        if (legacy()) {
            link.established = true; // copies of before versions took a connection at once
            deliver(message::newIncomingConnection, event.peer->address, event.data);
        }
        return;
    }
    // Ours: accepted once the other side's hello tells us who it is.
    enet_peer_timeout(event.peer, 0, timeoutMs, timeoutMs);
}

} // namespace kit
