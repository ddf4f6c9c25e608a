#include "NetworkSystem.h"

#include "HostMigration.h"
#include "LinkReport.h"
#include "LinkWatch.h"
#include "MessageIdentifiers.h"
#include "PortMapping.h"

#include "engine/core/Log.h"
#include "engine/core/SortedComponentCollection.h"
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

NetworkSystem* NetworkSystem::of(const World* world)
{
    return world ? world->getComponent<NetworkSystem>(world->systemEntity()) : nullptr;
}

NetworkSystem::Channel* NetworkSystem::channelFor(std::string_view name, std::type_index signature, Caller caller)
{
    auto [known, added] = declarations_.try_emplace(std::string(name), Declaration{signature, caller});
    if (!added && !declarationMatches(name, signature, caller))
        return nullptr;
    auto& slot = functions[std::string(name)];
    if (!slot)
        slot = std::make_unique<Channel>();
    return slot.get();
}

bool NetworkSystem::declarationMatches(std::string_view name, std::type_index signature, Caller caller) const
{
    auto known = declarations_.find(name);
    if (known == declarations_.end())
        return true;
    if (known->second.signature != signature) {
        log::warn() << "Named function \"" << name << "\" was registered with other argument types";
        return false;
    }
    if (known->second.caller != caller) {
        log::warn() << "Named function \"" << name << "\" was registered with another caller rule";
        return false;
    }
    return true;
}

void NetworkSystem::keepScoped(World& scope, Connection connection)
{
    if (connection.connected())
        scope.connections.emplace_back(std::move(connection));
}

void NetworkSystem::queueCall(std::string_view name, NetStream& arguments)
{
    const std::string nameCopy(name);
    ++traffic.callsMade;
    pendingCalls.write(remoteCallsId);
    pendingCalls.write(nameCopy);
    pendingCalls.write(arguments); // resets the stream's reading position

    arguments.writing = false;
    run(nameCopy, arguments, origin(), 0);
}

NetworkSystem::Channel* NetworkSystem::findChannel(const std::string& name)
{
    auto found = functions.find(name);
    return found == functions.end() ? nullptr : found->second.get();
}

void NetworkSystem::run(const std::string& name, NetStream& arguments, std::optional<std::uint32_t> caller,
                        std::uint64_t batch)
{
    EntityID about;
    arguments.resetReading();
    arguments.read(about);
    arguments.resetReading();
    // A handler may make calls of its own: when they are done, the call that
    // made them is the running one again, refused or not as it was.
    std::optional<std::pair<CallRun, bool>> outer;
    if (runDepth_ > 0) {
        outer.emplace(running_, runningRefused_);
        // The call run just before this one: the handler's own call, or the
        // last call the handler made since (which it kept as previous).
        if (previous_.serial < running_.serial)
            previous_ = running_;
    } else {
        previous_ = std::move(running_);
    }
    running_ = CallRun{name, about, caller, batch, ++callSerial_};
    runningRefused_ = false;
    // An unknown name runs nothing. It gets no registry entry either, so that
    // names sent by peers cannot grow the registry without bound.
    ++runDepth_;
    if (Channel* handlers = findChannel(name))
        (*handlers)(arguments, world);
    --runDepth_;
    if (outer) {
        previous_ = std::move(running_);
        std::tie(running_, runningRefused_) = std::move(*outer);
    }
}

bool NetworkSystem::previousCameRightBefore() const
{
    return previous_.serial + 1 == running_.serial && previous_.batch == running_.batch &&
           previous_.caller == running_.caller;
}

void NetworkSystem::flushCalls()
{
    pendingCalls.write(std::uint8_t{0});
    if (pendingCalls.bytesUsed() > 1) {
        migration_->made(pendingCalls);
        if (tap)
            tap->calls({pendingCalls.data(), pendingCalls.bytesUsed()});
    }
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
        log::warn() << (isServer ? "Refused the copy at " : "Could not join the copy at ") << packet.sender.ipString()
                    << "|" << packet.sender.port
                    << ": it runs another version of Skyscuffle, and both must run the same";
        break;
    case message::disconnectionNotification:
        log::info() << (isServer ? "A client has disconnected." : "We have been disconnected.");
        forget(Departure::left);
        break;
    case message::connectionLost:
        log::info() << (isServer ? "A client lost the connection." : "Connection lost.");
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
    if (isServer) {
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
        PeerRecord& record = peers[sender];
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

void NetworkSystem::runCalls(const NetPeer::Packet& packet)
{
    ConnectionGuard& from = guardOf(packet.sender);
    if (isServer && !from.origin) {
        // Which copy made these calls, its state tells; it left right after them.
        if (!from.hold(packet.data))
            from.refuse(clock_, "a call batch while its copy is not known yet (too many waiting)");
        return;
    }
    const std::vector<std::uint8_t> ran = runCallsOf(from, packet.data, isServer ? from.origin : std::nullopt, false);
    if (isServer && !ran.empty())
        migration_->judged(*from.origin, ran);
}

std::vector<std::uint8_t> NetworkSystem::runCallsOf(ConnectionGuard& from, const std::vector<std::uint8_t>& batch,
                                                    std::optional<std::uint32_t> caller, bool replayed)
{
    NetStream in(batch.data(), batch.size());
    NetStream relay; // the calls that pass, for the other connections
    bool dropped = false;
    World* const here = world;
    const std::uint64_t batchNumber = ++batchSerial_;
    for (;;) {
        std::uint8_t marker = 0;
        if (!in.read(marker) || marker != remoteCallsId)
            break;
        std::string name;
        NetStream arguments;
        in.read(name);
        in.read(arguments);
        if (const std::optional<std::string> why = refusal(from, caller, name, arguments)) {
            dropped = true;
            ++traffic.callsDropped;
            if (why->empty())
                countUnknownCall();
            else
                from.refuse(clock_, *why);
            continue;
        }
        const std::uint64_t made = here ? here->entitiesMade() : 0;
        EntityID about;
        arguments.read(about);
        arguments.resetReading();
        accepted(CallRun{name, about, caller, batchNumber, callSerial_ + 1});
        arguments.writing = false;
        run(name, arguments, caller, batchNumber);
        ++traffic.callsRun;
        if (here) {
            const std::uint64_t count = here->entitiesMade() - made;
            traffic.entitiesMadeByCalls += count;
            from.entities.charge(clock_, static_cast<float>(count), copiesThrough(from));
        }
        if (runningRefused_) {
            // Its handler would not have it: it goes no further.
            dropped = true;
            ++traffic.callsDropped;
            continue;
        }
        relay.write(remoteCallsId);
        relay.write(name);
        relay.write(arguments);
        printReceived(name);
    }

    std::vector<std::uint8_t> ran;
    if (relay.bitsUsed() > 0) {
        relay.write(std::uint8_t{0});
        ran.assign(relay.data(), relay.data() + relay.bytesUsed());
        if (tap)
            tap->calls(ran);
    }
    if (!replayed) {
        // To every other connection, never back to the one it came from.
        const std::vector<std::uint8_t>& passOn = dropped ? ran : batch;
        if (!passOn.empty())
            traffic.callsSent +=
                passOn.size() *
                peer->broadcast(passOn.data(), passOn.size(), NetPeer::Reliability::reliableOrdered, 1, from.address);
    }
    return ran;
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
    isServer = true;
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
    isServer = false;
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
    peers.clear();
    portMapping_.reset();
    isServer = true; // on its own, a copy hosts its own games again
    migration_->left();
    links_->forget();
}

} // namespace kit
