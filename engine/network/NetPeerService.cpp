#include "NetPeerImpl.h"

#include "MessageIdentifiers.h"

#include <cstring>
#include <utility>

// Servicing the ENet host: the raw ping and pong picked out of the incoming
// datagrams, and the connection events turned into packets for the inbox.

namespace kit {

thread_local NetPeer::Impl* NetPeer::Impl::servicing = nullptr;

void NetPeer::Impl::sendRaw(const ENetAddress& to, std::uint8_t id, bool onlyIfAccepting)
{
    std::array<std::uint8_t, rawSize> datagram{};
    std::memcpy(datagram.data(), rawMagic.data(), rawMagic.size());
    datagram[5] = id;
    writeGuid(&datagram[6], guid);
    datagram[10] = onlyIfAccepting ? 1 : 0;
    ENetBuffer buffer{datagram.data(), datagram.size()};
    enet_socket_send(host->socket, &to, &buffer, 1);
}

int ENET_CALLBACK NetPeer::Impl::intercept(ENetHost* h, ENetEvent*)
{
    Impl* self = servicing;
    if (!self || h->receivedDataLength != rawSize || std::memcmp(h->receivedData, rawMagic.data(), 5) != 0)
        return 0;
    const std::uint8_t id = h->receivedData[5];
    const std::uint32_t sender = readGuid(h->receivedData + 6);
    if (id == message::unconnectedPing) {
        const bool onlyIfAccepting = h->receivedData[10] & 1;
        if (!onlyIfAccepting || self->incomingCount() < self->maxIncoming)
            self->sendRaw(h->receivedAddress, message::unconnectedPong, false);
    } else if (id == message::unconnectedPong) {
        self->deliver(message::unconnectedPong, h->receivedAddress, sender);
    }
    return 1;
}

void NetPeer::Impl::onReceive(const ENetEvent& event)
{
    auto link = links.find(event.peer);
    if (link != links.end() && event.channelID == helloChannel) {
        hello(event.peer, link->second, *event.packet);
    } else if (link != links.end() && event.packet->dataLength > 0) {
        const std::uint8_t* bytes = event.packet->data;
        Packet packet{std::vector<std::uint8_t>(bytes, bytes + event.packet->dataLength), fromEnet(event.peer->address),
                      link->second.guid};
        Link& l = link->second;
        const bool reliable = event.packet->flags & ENET_PACKET_FLAG_RELIABLE;
        if (l.established) {
            inbox.push_back(std::move(packet));
        } else if (reliable && l.early.size() < maximumEarlyPackets &&
                   l.earlyBytes + packet.data.size() <= maximumEarlyBytes) {
            l.earlyBytes += packet.data.size();
            l.early.push_back(std::move(packet));
        }
    }
    enet_packet_destroy(event.packet);
}

void NetPeer::Impl::onDisconnect(const ENetEvent& event)
{
    auto found = links.find(event.peer);
    if (found == links.end())
        return; // refused by us: nobody was told of it
    const Link link = found->second;
    links.erase(found);
    if (link.refused)
        return;
    if (!link.established && event.data == reasonVersion && !legacy()) {
        // The other side found our version not its own.
        std::uint8_t bytes[5] = {message::incompatibleProtocol, 0, 0, 0, 0};
        inbox.push_back(Packet{{bytes, bytes + sizeof bytes}, fromEnet(event.peer->address), link.guid});
    } else if (!link.established) {
        if (event.data != reasonDuplicate)
            deliver(event.data == reasonFull ? message::noFreeIncomingConnections : message::connectionAttemptFailed,
                    event.peer->address, 0);
    } else if (event.data == reasonLost) {
        deliver(message::connectionLost, event.peer->address, link.guid);
    } else {
        deliver(message::disconnectionNotification, event.peer->address, link.guid);
    }
}

void NetPeer::Impl::pump()
{
    if (!host)
        return;
    refuseSilent();
    servicing = this;
    ENetEvent event;
    while (enet_host_service(host, &event, 0) > 0) {
        switch (event.type) {
        case ENET_EVENT_TYPE_CONNECT:
            onConnect(event);
            break;
        case ENET_EVENT_TYPE_RECEIVE:
            onReceive(event);
            break;
        case ENET_EVENT_TYPE_DISCONNECT:
            onDisconnect(event);
            break;
        case ENET_EVENT_TYPE_NONE:
            break;
        }
    }
    servicing = nullptr;
}

} // namespace kit
