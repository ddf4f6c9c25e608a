#pragma once

#include "NetAddress.h"
#include "NetPeer.h"
#include "stream/NetStream.h"

#include "engine/core/Behavior.h"
#include "engine/core/Signal.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>

namespace kit {

class World;

// Writes or reads one named-function argument. Types the stream knows are
// handled by it; a game type provides `void serialize(NetStream&, T&)` next to
// itself, found by argument-dependent lookup.
template <class T>
void serializeArgument(NetStream& stream, T& value)
{
    if constexpr (requires { stream.serialize(value); })
        stream.serialize(value);
    else
        serialize(stream, value);
}

// Connects the copies of a networked game. Every named function called on one
// copy runs at once there and, batched, on every other copy; thirty times a
// second each copy sends the state of the components it owns that are tagged
// "networked", and the others overwrite their copies with it. A copy owns the
// entities whose id carries its origin. The hosting copy relays what it
// receives to its other connections.
//
// Packets (NetStream encoding):
//   StateUpdate (135): origin u32, screen name string, then per component a
//     1 bit, entity id, type name string, nested state stream; a 0 bit ends.
//   RemoteCalls (136): per call the byte 136, function name string, nested
//     argument stream; a 0 byte ends. A batch without calls is the byte 0.
class NetworkSystem : public Behavior {
public:
    using Channel = Signal<void(NetStream&, World*)>;

    struct PeerRecord {
        NetAddress address;
        std::uint32_t origin = 0;
        std::string screenName;
    };

    static constexpr std::uint8_t stateUpdateId = 135;
    static constexpr std::uint8_t remoteCallsId = 136;

    explicit NetworkSystem(float rate = 30.0f);
    ~NetworkSystem() override;

    void update(float dt) override;
    void onRemoved() override;

    // Typed named functions: the first parameter names the entity the call is
    // about (an EntityHandle completed with the receiving world); the others
    // are read from the call's arguments in order.
    template <class... Args>
    Connection registerFunction(const std::string& name, std::function<void(EntityHandle, Args...)> function);
    template <class F>
    Connection registerFunction(const std::string& name, F&& function)
    {
        return registerFunction(name, std::function(std::forward<F>(function)));
    }

    // Runs the function here at once and queues it for every other copy. The
    // argument types must be exactly those of the registered signature.
    template <class... Args>
    void callFunction(const std::string& name, EntityID entity, const Args&... arguments);
    template <class... Args>
    void callFunction(const std::string& name, const EntityHandle& entity, const Args&... arguments)
    {
        callFunction(name, entity.id, arguments...);
    }

    // Sends the calls queued since the last send.
    void flushCalls();

    // The StateUpdate this copy would send now: its owned "networked" components.
    [[nodiscard]] NetStream buildStatePacket() const;

    // Acts on one packet from a peer as the receive loop does. Packets are
    // untrusted: any bytes are handled without harm.
    void handlePacket(const NetPeer::Packet& packet);

    // Session control. host: accept up to maxConnections copies on port.
    // join: connect to a hosting copy. reset: leave whatever session there is.
    void host(std::uint16_t port, std::size_t maxConnections);
    void join(const std::string& address, std::uint16_t port);
    void reset();

    // The registry of named functions, and what was last heard from each sender.
    std::map<std::string, std::unique_ptr<Channel>> functions;
    std::map<NetAddress, PeerRecord> peers;

    std::unique_ptr<NetPeer> peer;
    bool isServer = true;
    std::string screenName;
    float rate;
    float timer = 0.0f;
    NetStream pendingCalls;
    // The origin this copy owns and announces: localOrigin(), unless a test
    // runs several copies in one process.
    std::uint32_t origin;

private:
    void sendState();
    void applyState(const NetPeer::Packet& packet);
    void runCalls(const NetPeer::Packet& packet);
    void run(const std::string& name, NetStream& arguments);
    Channel& channel(const std::string& name);
    Channel* findChannel(const std::string& name);
};

template <class... Args>
Connection NetworkSystem::registerFunction(const std::string& name,
                                          std::function<void(EntityHandle, Args...)> function)
{
    return channel(name).connect([function = std::move(function)](NetStream& in, World* world) {
        in.resetReading(); // every handler of a name reads the same arguments from the start
        EntityHandle entity;
        in.read(entity.id);
        entity.world = world;
        std::tuple<std::decay_t<Args>...> values;
        const bool was = in.writing;
        in.writing = false;
        std::apply([&](auto&... value) { (serializeArgument(in, value), ...); }, values);
        in.writing = was;
        std::apply([&](auto&... value) { function(entity, value...); }, values);
    });
}

template <class... Args>
void NetworkSystem::callFunction(const std::string& name, EntityID entity, const Args&... arguments)
{
    NetStream stream;
    stream.write(entity);
    auto writeOne = [&stream](auto value) { serializeArgument(stream, value); };
    (writeOne(arguments), ...);
    (void)writeOne; // a call without arguments writes none

    std::uint8_t marker = remoteCallsId;
    std::string nameCopy = name;
    pendingCalls.write(marker);
    pendingCalls.write(nameCopy);
    pendingCalls.write(stream); // resets the stream's reading position

    stream.writing = false;
    run(name, stream);
}

} // namespace kit
