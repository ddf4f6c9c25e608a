#pragma once

#include "CallBatch.h"
#include "ConnectionGuard.h"
#include "ConsoleBudget.h"
#include "NamedFunction.h"
#include "NetAddress.h"
#include "NetPeer.h"
#include "NetworkLimits.h"
#include "stream/NetStream.h"

#include "engine/core/Behavior.h"
#include "engine/core/Signal.h"
#include "engine/network/NetworkTap.h"

#include <cstdint>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <typeindex>
#include <utility>
#include <vector>

namespace kit {

class World;
class HostMigration;
class LinkWatch;
class PortMapping;

// Writes or reads one named-function argument. Types the stream knows are
// handled by it; a game type provides `void serialize(NetStream&, T&)` next to
// itself, found by argument-dependent lookup.
template <class T> void serializeArgument(NetStream& stream, T& value)
{
    if constexpr (requires { stream.serialize(value); })
        stream.serialize(value);
    else
        serialize(stream, value);
}

// A handle read from a call names an entity of the receiving world; other
// argument types are left as they are.
template <class T> void completeHandle(T& value, World* world)
{
    if constexpr (std::is_same_v<T, EntityHandle>)
        value.world = world;
    else
        (void)value, (void)world;
}

// Connects the copies of a networked game. Every named function called on one
// copy runs at once there and, batched, on every other copy; thirty times a
// second each copy sends the state of the components it owns that are tagged
// "networked", and the others overwrite their copies with it. A copy owns the
// entities whose id carries its origin (its world's origin). The hosting copy
// relays what it receives to its other connections.
//
// Packets (NetStream encoding):
//   StateUpdate (135): origin u32, screen name string, then per component a
//     1 bit, entity id, type name string, nested state stream; a 0 bit ends.
//     A copy's state goes out as several such packets when one would not fit
//     in a datagram (maxStatePacketBytes); each stands on its own.
//   RemoteCalls (136): the calls made since the last send (CallBatch.h).
//   SessionRoster (137), host to clients: host origin u32, game port u16,
//     then per other copy a 1 bit, its origin u32 and its IPv4 address u32
//     as the host sees it; a 0 bit ends (SessionRoster.h).
//   CallReplay (138), when a session changes host: sender origin u32, then
//     per call batch a 1 bit and the batch as a nested stream; a 0 bit ends
//     (CallReplay.h).
//   LinkReport (139), host to clients about once a second: per joined copy
//     its origin, round trip and loss as the host measures them (LinkReport.h).
// Each tick sends the call batch before the state, so that an entity's
// spawning call arrives ahead of its first state.
//
// Nothing a peer sends is trusted. A call runs here, and is relayed, only if
// its function is registered here, its rule (Caller) lets the copy that made
// it call it about its entity, and the connection is within its budgets
// (limits); the hosting copy knows which copy each connection is from its
// state packets and holds a connection's calls until it knows. A relayed
// batch leaves out the calls refused here. State records are applied through
// the components' own checks, within a budget per packet and per second.
class NetworkSystem : public Behavior {
public:
    using Channel = Signal<void(NetStream&, World*)>;

    // What was last heard from one copy, by its origin.
    struct PeerRecord {
        NetAddress address; // the connection it came through (the host, for relayed copies)
        std::uint32_t origin = 0;
        std::string screenName;
        float heardAt = 0.0f; // on this system's clock, seconds
    };

    static constexpr std::uint8_t stateUpdateId = 135;
    static constexpr std::uint8_t remoteCallsId = callBatch::callId;
    // State packets stay below the path MTU: larger unreliable datagrams would
    // be fragmented, and ENet sends fragments reliably (resent, in order).
    static constexpr std::size_t maxStatePacketBytes = 1200;
    // A copy not heard from for this long has its record dropped: a relayed
    // copy that left, or one that vanished without the transport noticing yet.
    static constexpr float peerSilenceLimit = 5.0f;

    // Why a copy's record was dropped: it said goodbye, the transport lost
    // it, or (a copy heard only through the host) it fell silent.
    enum class Departure { left, lost, silent };

    // Game bytes handed to the transport and taken from it, per kind. A
    // packet sent to three connections counts three times; relayed packets
    // count as sent. The transport's own overhead is NetPeer::wireTotals.
    struct Traffic {
        std::uint64_t stateSent = 0;
        std::uint64_t callsSent = 0;
        std::uint64_t stateReceived = 0;
        std::uint64_t callsReceived = 0;
        // Counts rather than bytes: calls this copy made, state records it
        // built for sending, and what it ran, applied or dropped of its peers'.
        std::uint64_t callsMade = 0;
        std::uint64_t recordsBuilt = 0;
        std::uint64_t callsRun = 0;
        std::uint64_t callsDropped = 0;
        std::uint64_t recordsApplied = 0;
        std::uint64_t recordsDropped = 0;
        std::uint64_t entitiesMadeByCalls = 0; // by peers' calls run here, effects included
    };

    explicit NetworkSystem(float rate = 30.0f);
    ~NetworkSystem() override;

    void update(float dt) override;
    void onRemoved() override;

    // The origin this copy owns and announces: its world's.
    [[nodiscard]] std::uint32_t origin() const;
    // The network system of a world, or null.
    [[nodiscard]] static NetworkSystem* of(World* world);

    // Registers a handler for the system's whole life (engine and start-up
    // functions). The first parameter names the entity the call is about; the
    // others are read in order, every EntityHandle completed with the world
    // the call runs in.
    template <class... Args, class F> Connection registerFunction(const NamedFunction<Args...>& function, F&& handler)
    {
        return connectHandler(function, nullptr, std::forward<F>(handler));
    }
    // Registers a handler for one world's life: it runs only while this system
    // is in that world and is cut when the world goes. A screen registers its
    // functions this way; the next screen registering the same names takes
    // over at once, and late calls never reach a world that is gone.
    template <class... Args, class F>
    void registerFunction(World& scope, const NamedFunction<Args...>& function, F&& handler);

    // Runs the function here at once and queues it for every other copy. The
    // arguments are converted to the declared types. A copy's own calls are
    // not judged: the rules and budgets apply to what comes from peers.
    template <class... Args>
    void callFunction(const NamedFunction<Args...>& function, EntityID entity,
                      const std::type_identity_t<Args>&... arguments);
    template <class... Args>
    void callFunction(const NamedFunction<Args...>& function, const EntityHandle& entity,
                      const std::type_identity_t<Args>&... arguments)
    {
        callFunction(function, entity.id, arguments...);
    }

    // Sends the calls queued since the last send.
    void flushCalls();

    // The StateUpdate packets this copy would send now: its owned
    // "networked" components, each packet at most maxStatePacketBytes unless a
    // single record is larger. Counts the records into `recordCount` if given.
    [[nodiscard]] std::vector<NetStream> buildStatePackets(std::uint64_t* recordCount = nullptr) const;

    // Acts on one packet from a peer as the receive loop does. Packets are
    // untrusted: any bytes are handled without harm.
    void handlePacket(const NetPeer::Packet& packet);

    // Session control. host: accept up to maxConnections copies on port.
    // join: connect to a hosting copy. reset: leave whatever session there is
    // and be a copy on its own again (its own server).
    // When the host of a joined session goes, the session carries on under
    // the next host (HostMigration).
    void host(std::uint16_t port, std::size_t maxConnections);
    void join(const std::string& address, std::uint16_t port);
    void reset();
    [[nodiscard]] HostMigration& migration() { return *migration_; }
    [[nodiscard]] const HostMigration& migration() const { return *migration_; }
    // How good the link to each copy of the session is.
    [[nodiscard]] const LinkWatch& links() const { return *links_; }
    // How long what copy `origin` sends takes to get here, seconds: half the
    // link's round trip, measured here or through the host. 0 for this copy
    // and for a copy whose link is not known yet.
    [[nodiscard]] float oneWayDelay(std::uint32_t origin) const;
    // A one-way delay to every other copy instead of the measured ones,
    // seconds (a test's, or a tool's that plays a link it knows).
    std::optional<float> assumedDelay;

    // The handlers registered under a name (null: none ever were), and how
    // many names have handlers. Names only peers sent are never entered.
    [[nodiscard]] const Channel* function(std::string_view name) const;
    [[nodiscard]] std::size_t functionCount() const { return functions_.size(); }

    // What was last heard from each copy, by its origin.
    [[nodiscard]] const std::map<std::uint32_t, PeerRecord>& peers() const { return peers_; }
    // Takes a copy's record as its state packet does: heard from now.
    void recordPeer(PeerRecord record);
    // The copy counts as heard from now (a record waiting for it to come
    // back is not let go for its silence); nothing when it has no record.
    void markHeard(std::uint32_t origin);
    // Drops the records of every copy heard through a connection (on a
    // client, the host and all the copies it relayed), or of those `gone`
    // picks; copyGone tells of each.
    void forgetPeersAt(const NetAddress& address, Departure why);
    void forgetPeers(const std::function<bool(const PeerRecord&)>& gone, Departure why);
    // Fired with a copy's origin when its record is dropped, once per drop,
    // after the record is gone. On a client whose host goes, the copies it
    // relayed wait to come back through the next host; only without a roster
    // to find one do they go along with the host.
    Signal<void(std::uint32_t origin, Departure why)> copyGone;
    Traffic traffic;
    // Budgets of every connection; a test may narrow them.
    NetworkLimits limits;
    // The tag names "destroyComponent" may name (the game's removable parts:
    // its powers, a player's colour); empty allows every name.
    std::set<std::string, std::less<>> destroyableComponents;

    // Told what this copy sends, runs and applies (a recording); not owned.
    NetworkTap* tap = nullptr;

    // A call as it runs here: its function, the entity it is about, the copy
    // that made it (this copy's origin for its own calls; nothing on a joined
    // copy for what its host relayed, whose maker only the host knows), the
    // batch it came in (0: made here) and a count of every call run here.
    struct CallRun {
        std::string name;
        EntityID about;
        std::optional<std::uint32_t> caller;
        std::uint64_t batch = 0;
        std::uint64_t serial = 0;
    };
    // Inside a handler: the call being run, and the one run here just before it.
    [[nodiscard]] const CallRun& runningCall() const { return running_; }
    [[nodiscard]] const CallRun& previousCall() const { return previous_; }
    // Whether the previous call came right before the running one, from the
    // same maker in the same batch: nothing of anyone else's ran between.
    [[nodiscard]] bool previousCameRightBefore() const;
    // Inside a handler of a peer's call: the handler refuses it. It is counted
    // as dropped and not passed on to the other copies (a hosting copy keeps
    // what it refused from everyone else). A copy's own calls go out anyway.
    void refuseRunningCall() { runningRefused_ = true; }
    // Fired for every call of a peer that passed the rules, just before it
    // runs (what a test or a fuzzing harness checks the rules against).
    Signal<void(const CallRun&)> accepted;

    std::unique_ptr<NetPeer> peer;
    // Whether a hosting copy asks its router to forward the game port from
    // the internet (the game does; tests and tools leave the router alone).
    bool mapsPort = false;
    // While this copy hosts with mapsPort: the router's answer.
    [[nodiscard]] const PortMapping* portMapping() const { return portMapping_.get(); }
    // Whether this copy hosts (so is on its own, or hosts a session) or is
    // joined to a host. host, join and reset set it; startAs takes a role
    // without any connection (a replay's copy, whose host is the file).
    enum class Role { server, client };
    [[nodiscard]] bool isServer() const { return role_ == Role::server; }
    void startAs(Role role) { role_ = role; }
    std::string screenName;
    float rate; // ticks a second: each sends the calls made since the last
    // Ticks per state packet: calls leave at every tick, state at every
    // `stateEvery`-th: at the game's 30 ticks a second, state 15 times a
    // second, for half the bandwidth (between packets a remote body flies on
    // at its last velocity, so a packet corrects a drift of 1/15 s at most).
    unsigned stateEvery = 2;
    // Set when this copy's state changed in a way no other copy can foresee
    // (a plane's dash): the next tick sends state, whatever its turn.
    bool stateSoon = false;
    float timer = 0.0f;
    NetStream pendingCalls;

    // This system's clock: seconds of updates so far.
    [[nodiscard]] float clock() const { return clock_; }
    // What this system knows of a connection (which copy it is, its budgets),
    // made the first time the connection is named.
    ConnectionGuard& guardOf(const NetAddress& address);
    // Runs what passes of a batch another copy replays through a connection,
    // made by `maker`, and returns the calls that ran as a batch of their own
    // (empty when none did). It is not passed on as it came.
    std::vector<std::uint8_t> runReplayed(ConnectionGuard& from, const std::vector<std::uint8_t>& batch,
                                          std::uint32_t maker)
    {
        return runCallsOf(from, batch, maker, true);
    }

private:
    // What a name was registered as: its argument types and its caller rule.
    struct Declaration {
        std::type_index signature;
        Caller caller;
    };

    template <class... Args, class F>
    Connection connectHandler(const NamedFunction<Args...>& function, World* scope, F&& handler);
    // The channel of a name for handlers of a signature and rule; null (with
    // one line on standard error) when the name is taken by another.
    Channel* channelFor(std::string_view name, std::type_index signature, Caller caller);
    // Whether a call may use this declaration: the name is unknown, or known
    // as exactly this; one line on standard error otherwise.
    [[nodiscard]] bool declarationMatches(std::string_view name, std::type_index signature, Caller caller) const;
    void keepScoped(World& scope, Connection connection);
    void queueCall(std::string_view name, NetStream& arguments);

    void sendState();
    // A state packet in full form; `wire` is what came, passed on unchanged.
    void applyState(const NetPeer::Packet& packet, const std::vector<std::uint8_t>& wire);
    void runCalls(const NetPeer::Packet& packet);
    // Runs what passes of a batch from a connection, made by `caller` (see
    // callerMay), and returns the calls that ran as a batch of their own
    // (empty when none did). A batch as it came (not replayed) is passed on
    // to the other connections, without the calls refused here.
    std::vector<std::uint8_t> runCallsOf(ConnectionGuard& from, const std::vector<std::uint8_t>& batch,
                                         std::optional<std::uint32_t> caller, bool replayed);
    void run(const std::string& name, NetStream& arguments, std::optional<std::uint32_t> caller, std::uint64_t batch);
    // Why a call from a connection is not run (nothing when it may run); a
    // call it may run has taken its share of the connection's budget.
    std::optional<std::string> refusal(ConnectionGuard& from, std::optional<std::uint32_t> caller,
                                       const std::string& name, NetStream& arguments);
    // Whether a rule lets the copy `caller` call a function about an entity.
    // On the hosting copy the caller of every call is known. A joined copy
    // hears its peers' calls through the host, which judged them; without a
    // caller it only refuses calls about its own entities that nobody but
    // itself may make. A replayed batch names its caller.
    [[nodiscard]] bool callerMay(Caller rule, EntityID about, std::optional<std::uint32_t> caller) const;
    // On the hosting copy: ties a connection to the copy its state names.
    // False when it claims this copy or another connection's copy, or names
    // another copy than before.
    bool identify(ConnectionGuard& from, std::uint32_t sender);
    // How many copies a connection carries: one on the hosting copy; on a
    // joined copy, every copy heard through the host.
    [[nodiscard]] float copiesThrough(const ConnectionGuard& from) const;
    void printReceived(const std::string& name);
    void countUnknownCall();
    template <class Pred> void dropPeers(Pred&& gone, Departure why);
    Channel* findChannel(std::string_view name);

    std::map<std::string, Declaration, std::less<>> declarations_;
    std::map<std::string, std::unique_ptr<Channel>, std::less<>> functions_;
    std::map<std::uint32_t, PeerRecord> peers_;
    Role role_ = Role::server;
    float clock_ = 0.0f;
    std::map<NetAddress, ConnectionGuard> guards_;
    ConsoleBudget callLines_;
    unsigned unknownCalls_ = 0; // not told yet
    bool unknownTold_ = false;
    float unknownToldAt_ = 0.0f;
    std::unique_ptr<HostMigration> migration_;
    std::unique_ptr<LinkWatch> links_;
    std::unique_ptr<PortMapping> portMapping_;
    unsigned ticks_ = 0;
    CallRun running_;
    CallRun previous_;
    std::uint64_t callSerial_ = 0;
    std::uint64_t batchSerial_ = 0;
    bool runningRefused_ = false;
    int runDepth_ = 0; // calls made by handlers of calls
};

template <class... Args, class F>
Connection NetworkSystem::connectHandler(const NamedFunction<Args...>& function, World* scope, F&& handler)
{
    static_assert(std::is_invocable_v<std::decay_t<F>&, EntityHandle, Args&...>,
                  "the handler takes an EntityHandle and then the declared argument types");
    Channel* channel = channelFor(function.name, typeid(NamedFunction<Args...>), function.caller);
    if (!channel)
        return {};
    return channel->connect([handler = std::forward<F>(handler), scope](NetStream& in, World* world) mutable {
        if (scope && world != scope)
            return;        // a handler of a world this system has left
        in.resetReading(); // every handler of a name reads the same arguments from the start
        EntityHandle entity;
        in.read(entity.id);
        entity.world = world;
        std::tuple<Args...> values;
        const bool was = in.writing;
        in.writing = false;
        std::apply([&](auto&... value) { (serializeArgument(in, value), ...); }, values);
        in.writing = was;
        // Every handle argument names an entity of the world the call runs in.
        std::apply([world](auto&... value) { (completeHandle(value, world), ...); }, values);
        std::apply([&](auto&... value) { handler(entity, value...); }, values);
    });
}

template <class... Args, class F>
void NetworkSystem::registerFunction(World& scope, const NamedFunction<Args...>& function, F&& handler)
{
    keepScoped(scope, connectHandler(function, &scope, std::forward<F>(handler)));
}

template <class... Args>
void NetworkSystem::callFunction(const NamedFunction<Args...>& function, EntityID entity,
                                 const std::type_identity_t<Args>&... arguments)
{
    if (!declarationMatches(function.name, typeid(NamedFunction<Args...>), function.caller))
        return;
    NetStream stream;
    stream.write(entity);
    auto writeOne = [&stream](auto value) { serializeArgument(stream, value); };
    (writeOne(arguments), ...);
    (void)writeOne; // a call without arguments writes none
    queueCall(function.name, stream);
}

} // namespace kit
