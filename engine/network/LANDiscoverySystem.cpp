#include "LANDiscoverySystem.h"

#include "engine/core/Log.h"

#include "MessageIdentifiers.h"

namespace kit {

LANDiscoverySystem::LANDiscoverySystem(std::vector<std::uint16_t> ports, std::size_t maxConnections, float rate)
    : peer(std::make_unique<NetPeer>()), ports(std::move(ports)), rate(rate), maxConnections(maxConnections)
{
    addClassTags<LANDiscoverySystem>("lanDiscoverySystem");
    // The first free port: a second copy on one machine takes the second.
    for (std::uint16_t port : this->ports) {
        if (peer->start(port, maxConnections)) {
            boundPort = port;
            break;
        }
    }
    if (boundPort == 0)
        return;
    peer->setMaximumIncomingConnections(maxConnections);
    for (std::uint16_t port : this->ports)
        peer->ping("255.255.255.255", port, true);
}

void LANDiscoverySystem::connectTo(const std::string& address, std::uint16_t port)
{
    if (boundPort == 0)
        return;
    if (port != 0) {
        peer->connect(address, port);
        return;
    }
    for (std::uint16_t p : ports)
        peer->connect(address, p);
}

std::string LANDiscoverySystem::localIP() const
{
    return NetPeer::localIPv4();
}

void LANDiscoverySystem::announceMatch(const RunningMatch& running)
{
    if (!match_ || match_->players != running.players)
        announceNow = true;
    match_ = running;
    matchLeft_ = matchLease;
}

void LANDiscoverySystem::announce(const NetAddress* to)
{
    const std::vector<std::uint8_t> datagram = Announcement{hosting, match_}.encode();
    if (to)
        peer->send(datagram.data(), datagram.size(), NetPeer::Reliability::reliableOrdered, 0, *to);
    else
        peer->broadcast(datagram.data(), datagram.size(), NetPeer::Reliability::reliableOrdered, 0);
}

void LANDiscoverySystem::update(float dt)
{
    if (match_) {
        matchLeft_ -= dt;
        if (!(matchLeft_ > 0.0f)) {
            match_.reset();
            announceNow = true;
        }
    }
    if (boundPort == 0)
        return;
    timer -= dt;
    if (timer < 0.0f) {
        announce(nullptr);
        announceNow = false;
        timer += 1.0f / rate;
    }
    if (announceNow) {
        announce(nullptr);
        announceNow = false;
    }
    NetPeer::Packet packet;
    while (peer->receive(packet)) {
        if (packet.guid == peer->guid())
            continue; // our own broadcast ping, answered by ourselves
        handle(packet);
    }
}

void LANDiscoverySystem::handle(const NetPeer::Packet& packet)
{
    switch (packet.id()) {
    case message::unconnectedPing:
        break; // answered by the transport
    case message::connectionRequestAccepted:
    case message::newIncomingConnection:
        announce(&packet.sender);
        log::info() << "Connected to: " << packet.sender.toString();
        break;
    case message::disconnectionNotification:
    case message::connectionLost:
        servers.erase(packet.sender);
        break;
    case message::unconnectedPong:
        if (peer->connectionState(packet.sender) == NetPeer::ConnectionState::notConnected) {
            log::info() << "PONG from " << packet.sender.toString();
            connectTo(packet.sender.ipString(), packet.sender.port);
        }
        break;
    case announceId:
        if (const std::optional<Announcement> said = Announcement::decode(packet.data.data(), packet.data.size()))
            servers[packet.sender] = ServerInfo{packet.sender, said->hosting, said->match};
        break;
    default:
        // A trace for the developer: anyone on the network may send these.
        log::debug() << "Recieved packet with identifier " << static_cast<int>(packet.id()) << " ("
                     << message::name(packet.id()) << ")";
    }
}

} // namespace kit
