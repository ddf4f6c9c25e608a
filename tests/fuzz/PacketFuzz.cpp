// Hands arbitrary bytes to the network system as a packet from a peer: state
// updates for replicated components, call batches for every named-function
// signature the game registers, and anything else.
#include "FuzzCheck.h"
#include "engine/core/World.h"
#include "engine/network/CallReplay.h"
#include "engine/network/NetworkSystem.h"
#include "engine/network/SessionRoster.h"
#include "engine/physics/Body.h"
#include "engine/physics/Transform.h"
#include "game/match/MatchFunctions.h"
#include "game/players/PlayerFunctions.h"
#include "game/powerups/PowerEnum.h"

#include <cstdlib>
#include <iostream>

using namespace skyscuffle;

namespace {

// Every signature of the game's named functions, with a body that touches
// what it was given.
void registerSignatures(kit::NetworkSystem& network, float& sink)
{
    registerPlayerFunctions(network);
    network.registerFunction(fn::spawnPlayer,
                             [&sink](kit::EntityHandle, glm::vec3 p, glm::quat q) { sink += p.x + q.w; });
    network.registerFunction(fn::spawnPowerup, [&sink](kit::EntityHandle, glm::vec3 p, PowerEnum k) {
        sink += p.y + static_cast<float>(static_cast<int>(k));
    });
    network.registerFunction(fn::grantPower, [&sink](kit::EntityHandle, glm::vec3 p, PowerEnum) { sink += p.z; });
    network.registerFunction(fn::grantInvincibility, [&sink](kit::EntityHandle) { sink += 1; });
    network.registerFunction(fn::addKillPoints, [&sink](kit::EntityHandle) { sink += 2; });
    network.registerFunction(fn::addDeathPoints, [&sink](kit::EntityHandle) { sink += 3; });
    network.registerFunction(fn::spawnBombSpawner,
                             [&sink](kit::EntityHandle, kit::EntityID id) { sink += float(id.serial); });
    network.registerFunction(fn::spawnBullet,
                             [&sink](kit::EntityHandle, const std::string& a, const std::string& b, kit::EntityID,
                                     float c, float d, float e, glm::vec3 f,
                                     glm::vec2 g) { sink += float(a.size() + b.size()) + c + d + e + f.x + g.y; });
    network.registerFunction(fn::spawnBomb, [&sink](kit::EntityHandle, const std::string& a, kit::EntityID, float b,
                                                    float c, float d, float e, float f, glm::vec3 g, glm::vec2 h) {
        sink += float(a.size()) + b + c + d + e + f + g.z + h.x;
    });
    network.registerFunction(fn::spawnTaunt,
                             [&sink](kit::EntityHandle, const std::string& t) { sink += float(t.size()); });
    network.registerFunction(fn::endGame, [&sink](kit::EntityHandle, const ScoreTable& table) {
        fuzz::require(table.size() <= 1u << 20); // bounded by the packet, never by the count it claims
        for (const ScoreEntry& entry : table)
            sink += float(entry.points);
    });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool quiet = [] {
        std::cout.rdbuf(nullptr); // the system's console lines are not wanted here
        return true;
    }();
    (void)quiet;

    kit::World world;
    auto* network = new kit::NetworkSystem(30.0f);
    world.addComponent(kit::EntityHandle{world.systemEntity(), &world}, network);
    float sink = 0.0f;
    registerSignatures(*network, sink);

    // Replicated components that records may name: entity (1, 1) and (2, 2).
    for (std::uint32_t i = 1; i <= 2; ++i) {
        const kit::EntityHandle entity{kit::EntityID{i, i}, &world};
        auto* transform = new kit::Transform();
        transform->addTag(kit::tagId("networked"));
        world.addComponent(entity, transform);
        world.addComponent(entity, new kit::Body());
    }

    const std::size_t functionsBefore = network->functionCount();
    network->handlePacket(
        kit::NetPeer::Packet{std::vector<std::uint8_t>(data, data + size), kit::NetAddress{0x7F000001, 4000}, 7});
    fuzz::require(network->functionCount() == functionsBefore); // names from peers never add entries
    fuzz::require(network->peers().size() <= 1);

    // The messages of a change of host, read on their own (a copy reads them
    // only from its host, as the session changes hands).
    const auto decoded = kit::CallReplay::decode(data, size);
    const std::vector<kit::CallReplay::Replayed> replayed =
        decoded ? decoded->batches : std::vector<kit::CallReplay::Replayed>{};
    fuzz::require(replayed.size() <= kit::CallReplay::maxBatchesPerPacket);
    std::vector<kit::CallReplay::Bytes> batches;
    std::vector<float> ages;
    for (const auto& r : replayed) {
        fuzz::require(r.age >= 0.0f && r.age <= kit::CallReplay::keptSeconds + kit::CallReplay::rememberedSeconds);
        batches.push_back(r.bytes);
        ages.push_back(r.age);
    }
    kit::CallReplay replay;
    fuzz::require(replay.unseen(batches, 100.0f, ages).size() == batches.size());
    (void)kit::SessionRoster::decode(data, size);
    return 0;
}
