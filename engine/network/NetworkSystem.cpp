#include "NetworkSystem.h"

#include "MessageIdentifiers.h"

#include "engine/core/SortedComponentCollection.h"
#include "engine/core/World.h"

#include <iostream>

namespace kit {

NetworkSystem::NetworkSystem(float rate) : peer(std::make_unique<NetPeer>()), rate(rate), origin(localOrigin())
{
    addClassTags<NetworkSystem>("networkSystem");
    updatePriority = -10.0f;

    // Serial 0 is a copy's system entity, home of this very system and the
    // other services: no call, local or from a peer, takes it apart.
    registerFunction("destroyEntity", [](EntityHandle entity) {
        if (entity.world && entity.id.serial != 0)
            entity.world->destroyEntityNow(entity);
    });
    registerFunction("destroyComponent", [](EntityHandle entity, const std::string& name) {
        // Only names some component was ever tagged with can match: a name
        // from the network is not interned.
        if (const std::optional<TagId> tag = findTagId(name); tag && entity.world && entity.id.serial != 0)
            entity.world->destroyComponents(entity.id, *tag);
    });
}

NetworkSystem::~NetworkSystem() = default;

NetworkSystem::Channel& NetworkSystem::channel(const std::string& name)
{
    auto& slot = functions[name];
    if (!slot)
        slot = std::make_unique<Channel>();
    return *slot;
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
    if (peer->isActive())
        peer->broadcast(pendingCalls.data(), pendingCalls.bytesUsed(), NetPeer::Reliability::reliableOrdered, 1);
    pendingCalls.clear();
}

void NetworkSystem::update(float dt)
{
    timer -= dt;
    if (timer < 0.0f) {
        timer += 1.0f / rate;
        sendState();
    }
    NetPeer::Packet packet;
    while (peer->receive(packet))
        handlePacket(packet);
}

void NetworkSystem::onRemoved()
{
    if (peer->isActive())
        flushCalls();
    screenName.clear();
}

NetStream NetworkSystem::buildStatePacket() const
{
    NetStream packet;
    packet.write(stateUpdateId);
    packet.write(origin);
    packet.write(screenName);
    if (world) {
        ComponentCollection* networked = world->getComponentCollection(tagId("networked"));
        for (auto it = networked->begin(); it != networked->end(); ++it) {
            Component* c = *it;
            if (c->entityId.origin != origin)
                continue;
            NetStream state;
            c->serialize(state);
            packet.write(true);
            packet.write(c->entityId);
            packet.write(c->networkTypeName());
            packet.write(state);
        }
    }
    packet.write(false);
    return packet;
}

void NetworkSystem::sendState()
{
    const NetStream packet = buildStatePacket();
    if (peer->isActive())
        peer->broadcast(packet.data(), packet.bytesUsed(), NetPeer::Reliability::unreliableSequenced, 0);
    flushCalls();
}

void NetworkSystem::handlePacket(const NetPeer::Packet& packet)
{
    auto forget = [&] {
        for (auto it = peers.begin(); it != peers.end();) {
            if (it->second.address == packet.sender)
                it = peers.erase(it);
            else
                ++it;
        }
    };
    switch (packet.id()) {
    case message::connectionRequestAccepted: std::cout << "Our connection request has been accepted.\n"; break;
    case message::newIncomingConnection: std::cout << "A connection is incoming.\n"; break;
    case message::noFreeIncomingConnections: std::cout << "The server is full.\n"; break;
    case message::disconnectionNotification:
        std::cout << (isServer ? "A client has disconnected.\n" : "We have been disconnected.\n");
        forget();
        break;
    case message::connectionLost:
        std::cout << (isServer ? "A client lost the connection.\n" : "Connection lost.\n");
        forget();
        break;
    case 31: std::cout << "Another client has disconnected.\n"; break;
    case 32: std::cout << "Another client has lost the connection.\n"; break;
    case 33: std::cout << "Another client has connected.\n"; break;
    case stateUpdateId: applyState(packet); break;
    case remoteCallsId: runCalls(packet); break;
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
    PeerRecord& record = peers[packet.sender];
    record.address = packet.sender;
    in.read(record.origin);
    in.read(record.screenName);
    const std::uint32_t sender = record.origin;
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
        if (entity.origin != sender || sender == origin)
            continue;
        const std::optional<TagId> tag = findTagId(typeName);
        Component* target = (tag && world) ? world->getComponent(entity, *tag) : nullptr;
        if (target && target->hasTag(networked)) {
            state.writing = false;
            target->serialize(state);
        }
    }

    peer->broadcast(packet.data.data(), packet.data.size(), NetPeer::Reliability::unreliableSequenced, 0,
                    packet.sender);
}

void NetworkSystem::runCalls(const NetPeer::Packet& packet)
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

    peer->broadcast(packet.data.data(), packet.data.size(), NetPeer::Reliability::reliableOrdered, 1, packet.sender);
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
}

void NetworkSystem::reset()
{
    if (peer->isActive()) {
        flushCalls();
        peer->shutdown(std::chrono::milliseconds(10));
    }
    peers.clear();
}

} // namespace kit
