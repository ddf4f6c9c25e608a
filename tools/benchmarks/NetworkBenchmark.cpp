// Replicated state of a match: the cost of building and applying one state
// packet for 16 planes, and the bytes one plane puts on the wire each second.
//   build/release/tools/benchmarks/network_benchmark
#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"
#include "engine/physics/RigidBody.h"
#include "engine/physics/Transform.h"

#include <benchmark/benchmark.h>

namespace {

// Stand-ins with the replicated state of the gameplay components: Health
// (f32 + i32), Score (i32), PlanePhysics (2 f32, one bit, 3 f32).
class HealthState : public kit::Component {
public:
    HealthState() { addTag(kit::tagId("health")); }
    void serialize(kit::NetStream& s) override
    {
        s.serialize(current);
        s.serialize(state);
    }
    std::string networkTypeName() const override { return "health"; }
    float current = 10.0f;
    std::int32_t state = 0;
};

class ScoreState : public kit::Component {
public:
    ScoreState() { addTag(kit::tagId("score")); }
    void serialize(kit::NetStream& s) override { s.serialize(points); }
    std::string networkTypeName() const override { return "score"; }
    std::int32_t points = 0;
};

class PlanePhysicsState : public kit::Component {
public:
    PlanePhysicsState() { addTag(kit::tagId("planePhysics")); }
    void serialize(kit::NetStream& s) override
    {
        s.serialize(angularVelocity);
        s.serialize(dashTimer);
        s.serialize(enabled);
        s.serialize(steer);
    }
    std::string networkTypeName() const override { return "planePhysics"; }
    float angularVelocity = 0.1f, dashTimer = 0.0f;
    glm::vec3 steer{0.0f};
};

// One copy of the game with `planes` planes owned by `origin`.
struct Copy {
    kit::World world;
    kit::NetworkSystem* network = new kit::NetworkSystem(30.0f);

    Copy(std::uint32_t origin, std::uint32_t owner, int planes)
    {
        world.origin = origin;
        network->screenName = "game";
        world.addComponent(kit::EntityHandle{world.systemEntity(), &world}, network);
        for (int i = 1; i <= planes; ++i) {
            const kit::EntityHandle plane{kit::EntityID{owner, static_cast<std::uint32_t>(i)}, &world};
            kit::Component* parts[] = {new kit::Transform(glm::vec3(float(i), 2.0f, 0.0f)),
                                       new kit::RigidBody(false, glm::vec3(1.0f), {}, 1.0f, 0.5f), new HealthState,
                                       new ScoreState, new PlanePhysicsState};
            for (kit::Component* part : parts) {
                part->addTag(kit::tagId("networked"));
                world.addComponent(plane, part);
            }
        }
    }
};

void BuildStatePacket16Planes(benchmark::State& state)
{
    Copy sender(0x1111, 0x1111, 16);
    std::size_t bytes = 0;
    std::size_t packets = 0;
    for (auto _ : state) {
        std::vector<kit::NetStream> built = sender.network->buildStatePackets();
        packets = built.size();
        bytes = 0;
        for (const kit::NetStream& packet : built)
            bytes += packet.bytesUsed();
        benchmark::DoNotOptimize(built.data());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
    state.counters["packets"] = static_cast<double>(packets);
}
BENCHMARK(BuildStatePacket16Planes)->Unit(benchmark::kMicrosecond);

void ApplyStatePacket16Planes(benchmark::State& state)
{
    Copy sender(0x1111, 0x1111, 16);
    Copy receiver(0x2222, 0x1111, 16); // the same planes, owned by the sender
    std::vector<kit::NetPeer::Packet> received;
    for (const kit::NetStream& packet : sender.network->buildStatePackets())
        received.push_back(
            kit::NetPeer::Packet{std::vector<std::uint8_t>(packet.data(), packet.data() + packet.bytesUsed()),
                                 kit::NetAddress{0x7F000001, 16519}, 1});
    for (auto _ : state) {
        for (const kit::NetPeer::Packet& packet : received)
            receiver.network->handlePacket(packet);
    }
}
BENCHMARK(ApplyStatePacket16Planes)->Unit(benchmark::kMicrosecond);

// One plane at 30 packets per second: payload only, and with the UDP/IPv4
// (28 bytes) and ENet (4 header + 12 command bytes) framing of one datagram.
void WireBytesOfOnePlane(benchmark::State& state)
{
    Copy one(0x1111, 0x1111, 1);
    Copy none(0x1111, 0x1111, 0);
    const std::size_t withPlane = one.network->buildStatePackets().front().bytesUsed();
    const std::size_t empty = none.network->buildStatePackets().front().bytesUsed();
    for (auto _ : state)
        benchmark::DoNotOptimize(one.network->buildStatePackets());
    state.counters["planeBytesPerPacket"] = static_cast<double>(withPlane - empty);
    state.counters["payloadBytesPerSecond"] = static_cast<double>(withPlane) * 30.0;
    state.counters["wireBytesPerSecond"] = static_cast<double>(withPlane + 28 + 16) * 30.0;
}
BENCHMARK(WireBytesOfOnePlane)->Unit(benchmark::kMicrosecond)->Iterations(1000);

} // namespace

BENCHMARK_MAIN();
