#include "NetPeer.h"

#include "engine/core/Log.h"

#include "AttemptLimit.h"

#include "MessageIdentifiers.h"

#include <enet/enet.h>

#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <array>
#include <iostream>
#include <cstring>
#include <deque>
#include <random>
#include <unordered_map>
#include <utility>

namespace kit {
namespace {

// Why a connection ended, carried in ENet's disconnect data.
constexpr enet_uint32 reasonLost = 0; // what ENet reports for a time-out
constexpr enet_uint32 reasonGoodbye = 1;
constexpr enet_uint32 reasonFull = 2;
constexpr enet_uint32 reasonSelf = 3;
constexpr enet_uint32 reasonDuplicate = 4; // both sides connected at once; one connection is kept
constexpr enet_uint32 reasonVersion = 5;   // the two sides speak different versions of the protocol
constexpr enet_uint32 reasonTooOften = 6;  // the address opened too many connections of late

// Internal: each side's hello, sent once on connection: its id (4 bytes,
// big-endian) and the protocol version it speaks (4 bytes, big-endian). The
// accepting side says hello first; the connecting side answers with its own.
// A connection carries game packets only once both sides know each other's
// id and speak the same version. (The copies of before versions said hello
// with their id alone, and only the accepting side: see legacyProtocol.)
constexpr std::uint8_t helloChannel = 2;
constexpr std::size_t helloBytes = 8;
constexpr std::size_t legacyHelloBytes = 4;
// A connection opened to us whose hello has not come after this long is a
// copy that says no hello: one of before versions (NetPeer::setHelloWait).
// As long as the transport waits for any answer (a copy busy loading at its
// start answers late), so that a slow copy of this version is never taken
// for an old one.
constexpr auto defaultHelloWait = std::chrono::seconds(10);
constexpr std::size_t channelCount = 3;
constexpr enet_uint32 connectTimeoutMs = 6000; // about 12 attempts 500 ms apart
// The most a peer may have waiting for us (its largest packet: NetPeer.h).
constexpr std::size_t maximumWaitingBytes = 4 << 20;
// What a connection we opened may bring before the other side's hello: its
// data overtakes the hello when the hello is lost and resent, which on a lossy
// link takes seconds now and then. Reliable packets (calls) are kept, as the
// other side will not send them again; unreliable ones (state, sent anew 30
// times a second) are not.
constexpr std::size_t maximumEarlyPackets = 4096;
constexpr std::size_t maximumEarlyBytes = maximumWaitingBytes;

// Unconnected ping and pong, raw on the ENet socket and picked out of the
// incoming datagrams before ENet sees them:
//   FF FF 'S' 'k' 'y'  id (2 ping / 28 pong)  guid (4 bytes, big-endian)  flags (bit 0: only if accepting)
// ENet never sends FF FF first: that would be peer 0xFFF with the compression
// flag, and our hosts do not compress.
constexpr std::array<std::uint8_t, 5> rawMagic{0xFF, 0xFF, 'S', 'k', 'y'};
constexpr std::size_t rawSize = 11;

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

NetAddress fromEnet(const ENetAddress& a)
{
    return NetAddress{ntohl(a.host), a.port};
}

ENetAddress toEnet(const NetAddress& a)
{
    ENetAddress e{};
    e.host = htonl(a.ip);
    e.port = a.port;
    return e;
}

std::uint32_t randomGuid()
{
    std::random_device device;
    std::uniform_int_distribution<std::uint32_t> any(1, 0xFFFFFFFFu);
    return any(device);
}

void writeGuid(std::uint8_t* out, std::uint32_t guid)
{
    out[0] = static_cast<std::uint8_t>(guid >> 24);
    out[1] = static_cast<std::uint8_t>(guid >> 16);
    out[2] = static_cast<std::uint8_t>(guid >> 8);
    out[3] = static_cast<std::uint8_t>(guid);
}

std::uint32_t readGuid(const std::uint8_t* in)
{
    return (std::uint32_t(in[0]) << 24) | (std::uint32_t(in[1]) << 16) | (std::uint32_t(in[2]) << 8) | in[3];
}

} // namespace

struct NetPeer::Impl {
    struct Link {
        bool incoming = false;
        bool established = false; // both sides know each other's id and version
        std::uint32_t guid = 0;
        std::vector<Packet> early; // reliable ones that came before the hello: delivered right after it
        std::size_t earlyBytes = 0;
        std::chrono::steady_clock::time_point opened = std::chrono::steady_clock::now();
        bool refused = false; // told already: its end is no news

        // Game packets go to a connection once it is known, and to one opened
        // to us from the moment our hello left: they reach the other side
        // after our hello, and nothing sent meanwhile is lost.
        [[nodiscard]] bool sendable() const { return established || (incoming && !refused); }
    };

    explicit Impl(std::uint32_t protocol) : protocol(protocol) {}

    ENetHost* host = nullptr;
    std::uint32_t protocol;
    std::chrono::steady_clock::duration helloWait = defaultHelloWait;
    std::uint32_t guid = randomGuid();
    std::size_t maxIncoming = 0;
    enet_uint32 timeoutMs = 10000;
    std::deque<Packet> inbox;
    std::unordered_map<ENetPeer*, Link> links;
    WireTotals wire; // ENet's counters folded in, since the socket opened
    AttemptLimit attempts;
    bool limitsLoopback = false;
    std::chrono::steady_clock::time_point born = std::chrono::steady_clock::now();
    float toldTooOftenAt = -1.0f;

    [[nodiscard]] float seconds() const
    {
        return std::chrono::duration<float>(std::chrono::steady_clock::now() - born).count();
    }

    // ENet's intercept hook has no user pointer: the peer being serviced.
    static thread_local Impl* servicing;

    void deliver(std::uint8_t id, const ENetAddress& from, std::uint32_t sender)
    {
        inbox.push_back(Packet{{id}, fromEnet(from), sender});
    }

    std::size_t incomingCount() const
    {
        std::size_t n = 0;
        for (const auto& [peer, link] : links)
            n += link.incoming;
        return n;
    }

    void sendRaw(const ENetAddress& to, std::uint8_t id, bool onlyIfAccepting)
    {
        std::array<std::uint8_t, rawSize> datagram{};
        std::memcpy(datagram.data(), rawMagic.data(), rawMagic.size());
        datagram[5] = id;
        writeGuid(&datagram[6], guid);
        datagram[10] = onlyIfAccepting ? 1 : 0;
        ENetBuffer buffer{datagram.data(), datagram.size()};
        enet_socket_send(host->socket, &to, &buffer, 1);
    }

    static int ENET_CALLBACK intercept(ENetHost* h, ENetEvent*)
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

    bool legacy() const { return protocol == NetPeer::legacyProtocol; }

    void sendHello(ENetPeer* peer)
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
    void refuse(ENetPeer* peer, Link& link, std::uint32_t version)
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
    void hello(ENetPeer* peer, Link& link, const ENetPacket& packet)
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
    void refuseSilent()
    {
        const auto now = std::chrono::steady_clock::now();
        for (auto& [peer, link] : links) {
            if (link.incoming && !link.established && !link.refused && now - link.opened > helloWait)
                refuse(peer, link, NetPeer::legacyProtocol);
        }
    }

    void onConnect(const ENetEvent& event)
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
                    log::warn() << "Refused a connection from " << from.ipString()
                                << ": it has opened too many of late";
                }
                return;
            }
            // Both sides connecting to each other at once: the connection
            // opened by the side with the lower id is kept, on both sides.
            if (ENetPeer* ours = find(fromEnet(event.peer->address))) {
                if (guid < event.data) {
                    enet_peer_disconnect(event.peer, reasonDuplicate);
                    return;
                }
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

    void onReceive(const ENetEvent& event)
    {
        auto link = links.find(event.peer);
        if (link != links.end() && event.channelID == helloChannel) {
            hello(event.peer, link->second, *event.packet);
        } else if (link != links.end() && event.packet->dataLength > 0) {
            const std::uint8_t* bytes = event.packet->data;
            Packet packet{std::vector<std::uint8_t>(bytes, bytes + event.packet->dataLength),
                          fromEnet(event.peer->address), link->second.guid};
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

    void onDisconnect(const ENetEvent& event)
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
                deliver(event.data == reasonFull ? message::noFreeIncomingConnections
                                                 : message::connectionAttemptFailed,
                        event.peer->address, 0);
        } else if (event.data == reasonLost) {
            deliver(message::connectionLost, event.peer->address, link.guid);
        } else {
            deliver(message::disconnectionNotification, event.peer->address, link.guid);
        }
    }

    void pump()
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

    ENetPeer* find(const NetAddress& address) const
    {
        for (const auto& [peer, link] : links) {
            if (fromEnet(peer->address) == address)
                return peer;
        }
        return nullptr;
    }

    void close()
    {
        if (host)
            enet_host_destroy(host);
        host = nullptr;
        links.clear();
        inbox.clear();
        wire = {};
    }
};

thread_local NetPeer::Impl* NetPeer::Impl::servicing = nullptr;

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
    // ENet's loss is a fraction of ENET_PEER_PACKET_LOSS_SCALE, recomputed
    // every ENET_PEER_PACKET_LOSS_INTERVAL (ten seconds).
    return boundedLink(peer->roundTripTime,
                       static_cast<float>(peer->packetLoss) / static_cast<float>(ENET_PEER_PACKET_LOSS_SCALE));
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
