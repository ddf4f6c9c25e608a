#include "NetworkSystem.h"

#include "HostMigration.h"
#include "MessageIdentifiers.h"

#include "engine/core/SortedComponentCollection.h"
#include "engine/core/World.h"

#include <algorithm>

namespace kit {

NetworkSystem::NetworkSystem(float rate) : peer(std::make_unique<NetPeer>()), rate(rate)
{
    addClassTags<NetworkSystem>("networkSystem");
    setUpdatePriority(-10.0f);
    migration_ = std::make_unique<HostMigration>(*this);

    // Serial 0 is a copy's system entity, home of this very system and the
    // other services: no call, local or from a peer, takes it apart.
    registerFunction(destroyEntityFunction, [](EntityHandle entity) {
        if (entity.world && entity.id.serial != 0)
            entity.world->destroyEntityNow(entity);
    });
    registerFunction(destroyComponentFunction, [](EntityHandle entity, const std::string& name) {
        // Only names some component was ever tagged with can match: a name
        // from the network is not interned.
        if (const std::optional<TagId> tag = findTagId(name); tag && entity.world && entity.id.serial != 0)
            entity.world->destroyComponents(entity.id, *tag);
    });
}

NetworkSystem::~NetworkSystem() = default;

std::uint32_t NetworkSystem::origin() const
{
    return world ? world->origin : localOrigin();
}

NetworkSystem* NetworkSystem::of(const World* world)
{
    return world ? world->getComponent<NetworkSystem>(world->systemEntity()) : nullptr;
}

NetworkSystem::Channel* NetworkSystem::channelFor(std::string_view name, std::type_index signature)
{
    auto [known, added] = signatures_.try_emplace(std::string(name), signature);
    if (!added && known->second != signature) {
        std::cerr << "Named function \"" << name << "\" was registered with other argument types\n";
        return nullptr;
    }
    auto& slot = functions[std::string(name)];
    if (!slot)
        slot = std::make_unique<Channel>();
    return slot.get();
}

bool NetworkSystem::signatureMatches(std::string_view name, std::type_index signature) const
{
    auto known = signatures_.find(name);
    return known == signatures_.end() || known->second == signature;
}

void NetworkSystem::keepScoped(World& scope, Connection connection)
{
    if (connection.connected())
        scope.connections.emplace_back(std::move(connection));
}

void NetworkSystem::queueCall(std::string_view name, NetStream& arguments)
{
    const std::string nameCopy(name);
    pendingCalls.write(remoteCallsId);
    pendingCalls.write(nameCopy);
    pendingCalls.write(arguments); // resets the stream's reading position

    arguments.writing = false;
    run(nameCopy, arguments);
}

NetworkSystem::Channel* NetworkSystem::findChannel(const std::string& name)
{
    auto found = functions.find(name);
    return found == functions.end() ? nullptr : found->second.get();
}

void NetworkSystem::run(const std::string& name, NetStream& arguments)
{
    // An unknown name runs nothing. It gets no registry entry either, so that
    // names sent by peers cannot grow the registry without bound.
    if (Channel* handlers = findChannel(name))
        (*handlers)(arguments, world);
}

void NetworkSystem::flushCalls()
{
    pendingCalls.write(std::uint8_t{0});
    if (pendingCalls.bytesUsed() > 1)
        migration_->made(pendingCalls);
    if (peer->isActive())
        traffic.callsSent += pendingCalls.bytesUsed() * peer->broadcast(pendingCalls.data(), pendingCalls.bytesUsed(),
                                                                        NetPeer::Reliability::reliableOrdered, 1);
    pendingCalls.clear();
}

template <class Pred> void NetworkSystem::dropPeers(Pred&& gone, Departure why)
{
    std::vector<std::uint32_t> dropped;
    for (auto it = peers.begin(); it != peers.end();) {
        if (gone(it->second)) {
            dropped.push_back(it->first);
            it = peers.erase(it);
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
        sendState();
    }
    NetPeer::Packet packet;
    while (peer->receive(packet))
        handlePacket(packet);
    migration_->update(dt);
    dropPeers([this](const PeerRecord& record) { return clock_ - record.heardAt > peerSilenceLimit; },
              Departure::silent);
}

void NetworkSystem::onRemoved()
{
    if (peer->isActive())
        flushCalls();
    screenName.clear();
}

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

std::vector<NetStream> NetworkSystem::buildStatePackets() const
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
    if (!peer->isActive())
        return;
    for (const NetStream& packet : buildStatePackets())
        traffic.stateSent += packet.bytesUsed() * peer->broadcast(packet.data(), packet.bytesUsed(),
                                                                  NetPeer::Reliability::unreliableSequenced, 0);
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
        std::cout << "Our connection request has been accepted.\n";
        break;
    case message::newIncomingConnection:
        std::cout << "A connection is incoming.\n";
        break;
    case message::noFreeIncomingConnections:
        std::cout << "The server is full.\n";
        break;
    case message::disconnectionNotification:
        std::cout << (isServer ? "A client has disconnected.\n" : "We have been disconnected.\n");
        forget(Departure::left);
        break;
    case message::connectionLost:
        std::cout << (isServer ? "A client lost the connection.\n" : "Connection lost.\n");
        forget(Departure::lost);
        break;
    case 31:
        std::cout << "Another client has disconnected.\n";
        break;
    case 32:
        std::cout << "Another client has lost the connection.\n";
        break;
    case 33:
        std::cout << "Another client has connected.\n";
        break;
    case stateUpdateId:
        traffic.stateReceived += packet.data.size();
        applyState(packet);
        break;
    case remoteCallsId:
        traffic.callsReceived += packet.data.size();
        runCalls(packet);
        break;
    case 0:
        // A call batch without calls: nothing to run or to pass on.
        if (packet.data.size() == 1)
            break;
        [[fallthrough]];
    default:
        std::cout << "Message with identifier " << static_cast<int>(packet.id()) << " has arrived.\n";
    }
}

void NetworkSystem::applyState(const NetPeer::Packet& packet)
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
    if (sender != own) {
        PeerRecord& record = peers[sender];
        record.address = packet.sender;
        record.origin = sender;
        record.screenName = std::move(senderScreen);
        record.heardAt = clock_;
    }
    const TagId networked = tagId("networked");

    bool more = false;
    while (in.read(more) && more) {
        EntityID entity;
        std::string typeName;
        NetStream state;
        in.read(entity);
        in.read(typeName);
        in.read(state);
        // A copy sends only the state of what it owns: a record about anyone
        // else's entity, or about a component that is not replicated, is skipped.
        if (entity.origin != sender || sender == own)
            continue;
        const std::optional<TagId> tag = findTagId(typeName);
        Component* target = (tag && world) ? world->getComponent(entity, *tag) : nullptr;
        if (target && target->hasTag(networked)) {
            state.writing = false;
            target->serialize(state);
        }
    }

    traffic.stateSent +=
        packet.data.size() * peer->broadcast(packet.data.data(), packet.data.size(),
                                             NetPeer::Reliability::unreliableSequenced, 0, packet.sender);
}

void NetworkSystem::runCalls(const NetPeer::Packet& packet, bool relay)
{
    NetStream in(packet.data.data(), packet.data.size());
    for (;;) {
        std::uint8_t marker = 0;
        if (!in.read(marker) || marker != remoteCallsId)
            break;
        std::string name;
        NetStream arguments;
        in.read(name);
        in.read(arguments);
        arguments.writing = false;
        run(name, arguments);
        std::cout << "Recieved RPC call: " << name << "\n";
    }

    if (relay)
        traffic.callsSent +=
            packet.data.size() * peer->broadcast(packet.data.data(), packet.data.size(),
                                                 NetPeer::Reliability::reliableOrdered, 1, packet.sender);
}

void NetworkSystem::host(std::uint16_t port, std::size_t maxConnections)
{
    std::cout << "Being a server\n";
    std::cout << "Server IP: " << NetPeer::localIPv4() << "\n";
    if (peer->isActive())
        peer->shutdown();
    if (!peer->start(port, maxConnections))
        std::cerr << "Could not open game port " << port << "\n";
    peer->setMaximumIncomingConnections(maxConnections);
    isServer = true;
    migration_->hosted();
}

void NetworkSystem::join(const std::string& address, std::uint16_t port)
{
    if (peer->isActive())
        peer->shutdown();
    peer->start(0, 1);
    peer->setMaximumIncomingConnections(0);
    isServer = false;
    if (!peer->connect(address, port))
        std::cerr << "Could not connect to " << address << "|" << port << "\n";
    migration_->joined();
}

void NetworkSystem::reset()
{
    if (peer->isActive()) {
        flushCalls();
        peer->shutdown(std::chrono::milliseconds(10));
    }
    peers.clear();
    isServer = true; // on its own, a copy hosts its own games again
    migration_->left();
}

} // namespace kit
