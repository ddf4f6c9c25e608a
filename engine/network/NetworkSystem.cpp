#include "NetworkSystem.h"

#include "HostMigration.h"
#include "LinkReport.h"
#include "LinkWatch.h"
#include "MessageIdentifiers.h"
#include "PortMapping.h"

#include "engine/core/Log.h"
#include "engine/core/World.h"
#include "engine/network/stream/CompactState.h"

#include <algorithm>

namespace kit {

NetworkSystem::NetworkSystem(float rate) : peer(std::make_unique<NetPeer>()), rate(rate)
{
    addClassTags<NetworkSystem>("networkSystem");
    setUpdatePriority(-10.0f);
    migration_ = std::make_unique<HostMigration>(*this);
    links_ = std::make_unique<LinkWatch>(*this);

    // Serial 0 is a copy's system entity, home of this very system and the
    // other services: no call, local or from a peer, takes it apart.
    registerFunction(destroyEntityFunction, [](EntityHandle entity) {
        if (entity.world && entity.id.serial != 0)
            entity.world->destroyEntityNow(entity);
    });
    registerFunction(destroyComponentFunction, [this](EntityHandle entity, const std::string& name) {
        if (!destroyableComponents.empty() && !destroyableComponents.contains(name)) {
            log::warn() << "Refused to destroy components named other than the game's own removable ones";
            return;
        }
        // Only names some component was ever tagged with can match: a name
        // from the network is not interned.
        if (const std::optional<TagId> tag = findTagId(name); tag && entity.world && entity.id.serial != 0)
            entity.world->destroyComponents(entity.id, *tag);
    });
}

NetworkSystem::~NetworkSystem()
{
    if (tap)
        tap->networkGone(); // a recorder in the same world may outlive this system by a moment
}

std::uint32_t NetworkSystem::origin() const
{
    return world ? world->origin : localOrigin();
}

NetworkSystem* NetworkSystem::of(World* world)
{
    return world ? world->single<NetworkSystem>() : nullptr;
}

template <class Pred> void NetworkSystem::dropPeers(Pred&& gone, Departure why)
{
    std::vector<std::uint32_t> dropped;
    for (auto it = peers_.begin(); it != peers_.end();) {
        if (gone(it->second)) {
            dropped.push_back(it->first);
            it = peers_.erase(it);
        } else {
            ++it;
        }
    }
    // Told after the table is settled: a listener may read it.
    for (const std::uint32_t origin : dropped)
        copyGone(origin, why);
}

void NetworkSystem::update(float dt)
{
    clock_ += dt;
    timer -= dt;
    if (timer < 0.0f) {
        // At most one send per frame: frames slower than the rate do not bank
        // sends for later, faster frames.
        timer = std::max(timer + 1.0f / rate, 0.0f);
        // Between state packets only a batch with calls leaves: an empty one
        // a tick, reliable and acknowledged, would cost every connection more
        // than most calls. One goes with every state packet, as a sign of life.
        if (++ticks_ % std::max(stateEvery, 1u) == 0 || stateSoon) {
            stateSoon = false;
            sendState();
        } else if (pendingCalls.bytesUsed() > 0)
            flushCalls();
    }
    NetPeer::Packet packet;
    while (peer->receive(packet))
        handlePacket(packet);
    migration_->update(dt);
    links_->update(dt);
    dropPeers([this](const PeerRecord& record) { return clock_ - record.heardAt > peerSilenceLimit; },
              Departure::silent);
}

void NetworkSystem::onRemoved()
{
    if (peer->isActive())
        flushCalls();
    screenName.clear();
}

void NetworkSystem::recordPeer(PeerRecord record)
{
    record.heardAt = clock_;
    peers_[record.origin] = std::move(record);
}

void NetworkSystem::markHeard(std::uint32_t origin)
{
    if (const auto found = peers_.find(origin); found != peers_.end())
        found->second.heardAt = clock_;
}

void NetworkSystem::forgetPeersAt(const NetAddress& address, Departure why)
{
    // Every copy heard through that connection: on a client, the host and all
    // the copies it relayed.
    dropPeers([&address](const PeerRecord& record) { return record.address == address; }, why);
}

void NetworkSystem::forgetPeers(const std::function<bool(const PeerRecord&)>& gone, Departure why)
{
    dropPeers(gone, why);
}

void NetworkSystem::handlePacket(const NetPeer::Packet& packet)
{
    if (migration_->intercept(packet))
        return; // the session's own business: the roster, replays, a host that went
    auto forget = [&](Departure why) { forgetPeersAt(packet.sender, why); };
    switch (packet.id()) {
    case message::connectionRequestAccepted:
        log::info() << "Our connection request has been accepted.";
        break;
    case message::newIncomingConnection:
        log::info() << "A connection is incoming.";
        break;
    case message::noFreeIncomingConnections:
        log::info() << "The server is full.";
        break;
    case message::incompatibleProtocol:
        log::warn() << (isServer() ? "Refused the copy at " : "Could not join the copy at ") << packet.sender.ipString()
                    << "|" << packet.sender.port
                    << ": it runs another version of Skyscuffle, and both must run the same";
        break;
    case message::disconnectionNotification:
        log::info() << (isServer() ? "A client has disconnected." : "We have been disconnected.");
        forget(Departure::left);
        break;
    case message::connectionLost:
        log::info() << (isServer() ? "A client lost the connection." : "Connection lost.");
        forget(Departure::lost);
        break;
    case 31:
        log::info() << "Another client has disconnected.";
        break;
    case 32:
        log::info() << "Another client has lost the connection.";
        break;
    case 33:
        log::info() << "Another client has connected.";
        break;
    case stateUpdateId:
        traffic.stateReceived += packet.data.size();
        applyState(packet, packet.data);
        break;
    case compactState::id: {
        traffic.stateReceived += packet.data.size();
        // Judged and applied in full; passed on as it came.
        std::optional<std::vector<std::uint8_t>> full =
            compactState::unpack(packet.data.data(), packet.data.size(), limits.recordsPerPacket);
        if (!full) {
            guardOf(packet.sender).refuse(clock_, "a packed state packet that does not read");
            ++traffic.recordsDropped;
            break;
        }
        applyState(NetPeer::Packet{std::move(*full), packet.sender, packet.guid}, packet.data);
        break;
    }
    case remoteCallsId:
        traffic.callsReceived += packet.data.size();
        runCalls(packet);
        break;
    case LinkReport::id:
        links_->received(packet);
        break;
    case 0:
        // A call batch without calls: nothing to run or to pass on.
        if (packet.data.size() == 1)
            break;
        [[fallthrough]];
    default:
        // A trace for the developer: a peer may send any number of these.
        log::debug() << "Message with identifier " << static_cast<int>(packet.id()) << " has arrived.";
    }
}

void NetworkSystem::host(std::uint16_t port, std::size_t maxConnections)
{
    log::info() << "Being a server";
    log::info() << "Server IP: " << NetPeer::localIPv4();
    if (peer->isActive())
        peer->shutdown();
    if (!peer->start(port, maxConnections))
        log::error() << "Could not open game port " << port;
    peer->setMaximumIncomingConnections(maxConnections);
    role_ = Role::server;
    // A mapping of the same port goes on (a new one would race the old
    // one's removal on the router).
    if (!mapsPort || !peer->isActive())
        portMapping_.reset();
    else if (!portMapping_ || portMapping_->port() != peer->boundPort())
        portMapping_ = std::make_unique<PortMapping>(peer->boundPort());
    migration_->hosted();
    links_->forget();
}

void NetworkSystem::join(const std::string& address, std::uint16_t port)
{
    if (peer->isActive())
        peer->shutdown();
    peer->start(0, 1);
    peer->setMaximumIncomingConnections(0);
    role_ = Role::client;
    portMapping_.reset();
    if (!peer->connect(address, port))
        log::error() << "Could not connect to " << address << "|" << port;
    migration_->joined();
    links_->forget();
}

void NetworkSystem::reset()
{
    if (peer->isActive()) {
        flushCalls();
        peer->shutdown(std::chrono::milliseconds(10));
    }
    peers_.clear();
    portMapping_.reset();
    role_ = Role::server; // on its own, a copy hosts its own games again
    migration_->left();
    links_->forget();
}

} // namespace kit
