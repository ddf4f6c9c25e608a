#include "NetPeer.h"

#include "NetPeerImpl.h"

#include "engine/core/Log.h"

#include "MessageIdentifiers.h"

#include <enet/enet.h>

#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <utility>

namespace kit {
namespace {

struct EnetLibrary {
    EnetLibrary() { ready = enet_initialize() == 0; }
    ~EnetLibrary()
    {
        if (ready)
            enet_deinitialize();
    }
    bool ready = false;
};

bool enetReady()
{
    static EnetLibrary library;
    return library.ready;
}

} // namespace

NetPeer::NetPeer(std::uint32_t protocol) : impl_(std::make_unique<Impl>(protocol)) {}

NetPeer::~NetPeer()
{
    if (impl_->host) {
        for (auto& [peer, link] : impl_->links)
            enet_peer_disconnect_now(peer, reasonGoodbye);
        impl_->close();
    }
}

bool NetPeer::start(std::uint16_t port, std::size_t maxConnections)
{
    if (impl_->host || !enetReady())
        return false;
    ENetAddress address{};
    address.host = ENET_HOST_ANY;
    address.port = port;
    impl_->host = enet_host_create(&address, maxConnections > 0 ? maxConnections : 1, channelCount, 0, 0);
    if (!impl_->host)
        return false;
    enet_socket_set_option(impl_->host->socket, ENET_SOCKOPT_BROADCAST, 1);
    impl_->host->maximumPacketSize = NetPeer::maximumPacketBytes;
    impl_->host->maximumWaitingData = maximumWaitingBytes;
    impl_->host->intercept = &Impl::intercept;
    return true;
}

bool NetPeer::isActive() const
{
    return impl_->host != nullptr;
}

void NetPeer::setMaximumIncomingConnections(std::size_t count)
{
    impl_->maxIncoming = count;
}

void NetPeer::shutdown(std::chrono::milliseconds block)
{
    if (!impl_->host)
        return;
    for (auto& [peer, link] : impl_->links)
        enet_peer_disconnect(peer, reasonGoodbye);
    enet_host_flush(impl_->host);
    const auto end = std::chrono::steady_clock::now() + block;
    ENetEvent event;
    while (!impl_->links.empty() && std::chrono::steady_clock::now() < end) {
        if (enet_host_service(impl_->host, &event, 1) > 0) {
            if (event.type == ENET_EVENT_TYPE_DISCONNECT)
                impl_->links.erase(event.peer);
            else if (event.type == ENET_EVENT_TYPE_RECEIVE)
                enet_packet_destroy(event.packet);
        }
    }
    for (auto& [peer, link] : impl_->links)
        enet_peer_reset(peer);
    impl_->close();
}

void NetPeer::abandon()
{
    // ENet's host destruction resets its peers: nothing goes out.
    impl_->close();
}

bool NetPeer::connect(const std::string& host, std::uint16_t port)
{
    if (!impl_->host)
        return false;
    const std::optional<NetAddress> address = NetAddress::resolve(host, port);
    if (!address || impl_->find(*address))
        return false;
    const ENetAddress target = toEnet(*address);
    ENetPeer* peer = enet_host_connect(impl_->host, &target, channelCount, impl_->guid);
    if (!peer)
        return false;
    enet_peer_timeout(peer, 0, connectTimeoutMs, connectTimeoutMs);
    impl_->links[peer] = Impl::Link{};
    enet_host_flush(impl_->host);
    return true;
}

namespace {

enet_uint32 flagsFor(NetPeer::Reliability reliability)
{
    // ENet sends an unreliable packet larger than the MTU as reliable
    // fragments (resent and delivered in order) unless told otherwise: a late
    // state update would then hold up the ones after it.
    return reliability == NetPeer::Reliability::reliableOrdered ? ENET_PACKET_FLAG_RELIABLE
                                                                : ENET_PACKET_FLAG_UNRELIABLE_FRAGMENT;
}

} // namespace

bool NetPeer::send(const std::uint8_t* data, std::size_t size, Reliability reliability, std::uint8_t channel,
                   const NetAddress& to)
{
    if (!impl_->host || channel >= helloChannel)
        return false;
    ENetPeer* peer = impl_->find(to);
    if (!peer || !impl_->links[peer].sendable())
        return false;
    ENetPacket* packet = enet_packet_create(data, size, flagsFor(reliability));
    if (enet_peer_send(peer, channel, packet) != 0) {
        enet_packet_destroy(packet);
        return false;
    }
    enet_host_flush(impl_->host);
    return true;
}

std::size_t NetPeer::broadcast(const std::uint8_t* data, std::size_t size, Reliability reliability,
                               std::uint8_t channel, std::optional<NetAddress> except)
{
    if (!impl_->host || channel >= helloChannel)
        return 0;
    ENetPacket* packet = enet_packet_create(data, size, flagsFor(reliability));
    std::size_t queued = 0;
    for (auto& [peer, link] : impl_->links) {
        if (link.sendable() && !(except && fromEnet(peer->address) == *except))
            queued += enet_peer_send(peer, channel, packet) == 0;
    }
    // ENet frees a packet once every peer it was queued for has sent it.
    if (packet->referenceCount == 0)
        enet_packet_destroy(packet);
    enet_host_flush(impl_->host);
    return queued;
}

bool NetPeer::receive(Packet& out)
{
    if (impl_->inbox.empty())
        impl_->pump();
    if (impl_->inbox.empty())
        return false;
    out = std::move(impl_->inbox.front());
    impl_->inbox.pop_front();
    return true;
}

void NetPeer::ping(const std::string& host, std::uint16_t port, bool onlyIfAcceptingConnections)
{
    if (!impl_->host)
        return;
    if (const std::optional<NetAddress> address = NetAddress::resolve(host, port))
        impl_->sendRaw(toEnet(*address), message::unconnectedPing, onlyIfAcceptingConnections);
}

NetPeer::ConnectionState NetPeer::connectionState(const NetAddress& address) const
{
    ENetPeer* peer = impl_->find(address);
    if (!peer)
        return ConnectionState::notConnected;
    return impl_->links.at(peer).established ? ConnectionState::connected : ConnectionState::connecting;
}

std::optional<LinkQuality> NetPeer::linkQuality(const NetAddress& address) const
{
    ENetPeer* peer = impl_->find(address);
    if (!peer || !impl_->links.at(peer).established)
        return std::nullopt;
    // ENet recomputes the loss every ENET_PEER_PACKET_LOSS_INTERVAL (ten seconds).
    return transportLink(peer->roundTripTime, peer->packetLoss);
}

LinkQuality NetPeer::transportLink(std::uint32_t roundTripMs, std::uint32_t packetLoss)
{
    return boundedLink(roundTripMs, static_cast<float>(packetLoss) / static_cast<float>(ENET_PEER_PACKET_LOSS_SCALE));
}

std::size_t NetPeer::connectionCount() const
{
    std::size_t n = 0;
    for (const auto& [peer, link] : impl_->links)
        n += link.established;
    return n;
}

std::uint16_t NetPeer::boundPort() const
{
    if (!impl_->host)
        return 0;
    ENetAddress bound{};
    if (enet_socket_get_address(impl_->host->socket, &bound) != 0)
        return 0;
    return bound.port;
}

std::uint64_t NetPeer::guid() const
{
    return impl_->guid;
}

void NetPeer::setHelloWait(std::chrono::milliseconds wait)
{
    impl_->helloWait = wait;
}

void NetPeer::limitAttemptsFromLoopback(bool limited)
{
    impl_->limitsLoopback = limited;
}

void NetPeer::setTimeout(std::chrono::milliseconds timeout)
{
    impl_->timeoutMs = static_cast<enet_uint32>(timeout.count());
    for (auto& [peer, link] : impl_->links) {
        if (link.established)
            enet_peer_timeout(peer, 0, impl_->timeoutMs, impl_->timeoutMs);
    }
}

NetPeer::WireTotals NetPeer::wireTotals() const
{
    if (!impl_->host)
        return {};
    // ENet's counters are 32-bit: folded into ours at every look, they never wrap.
    impl_->wire.sent += std::exchange(impl_->host->totalSentData, 0);
    impl_->wire.received += std::exchange(impl_->host->totalReceivedData, 0);
    return impl_->wire;
}

std::string NetPeer::localIPv4()
{
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return "127.0.0.1";
    std::string found = "127.0.0.1";
    for (ifaddrs* i = list; i; i = i->ifa_next) {
        if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET || !(i->ifa_flags & IFF_UP) ||
            (i->ifa_flags & IFF_LOOPBACK))
            continue;
        const auto* ipv4 = reinterpret_cast<const sockaddr_in*>(i->ifa_addr);
        found = NetAddress{ntohl(ipv4->sin_addr.s_addr), 0}.ipString();
        break;
    }
    freeifaddrs(list);
    return found;
}

} // namespace kit
