// Hands arbitrary packets from a peer to a copy in the middle of a match: the
// game's own match world (createGameWorld, with every named function the
// game registers there and at start-up), two computer pilots of this copy
// and one plane of the peer in the air, frames running between packets. The
// overlay and the taunts need an OpenGL context: run under a display (the
// virtual one of scripts/run-fuzzers and of the test suite). Frames run the
// update pass only.
//
// Input: packets, each a 16-bit little-endian length and that many bytes
// (the last one takes what is left). After each packet one frame runs.
//
// The first byte, when odd, puts the copy in the middle of a change of
// host first: it was joined to a host that went, took over as the next
// host, and the peer is a copy of the last roster, whose call replays (138)
// it takes for a while.
//
// Checked, beside the sanitizers: every call of the peer that runs here may
// be made by the peer (its own calls, by whatever route they came: a batch,
// calls held until its state named it, a replay), by the rules the game
// declares for its functions, checked here on their own; a packet adds at
// most a bounded number of entities per call it can hold (a peer creates no
// more than the game itself would for those calls); no entity piles up
// components; nothing a peer made lives longer than the game's own limits;
// the registry of named functions and the table of peers grow only as the
// packets allow.
#include "game/ai/ArtificialIntelligence.h"
#include "game/ai/VirtualGamepadAI.h"
#include "game/common/Random.h"
#include "game/match/MatchFunctions.h"
#include "game/match/SpawnCircle.h"
#include "game/players/PlayerColours.h"
#include "game/players/PlayerFunctions.h"
#include "game/players/Seats.h"
#include "game/screens/ScreenRegistry.h"

#include "engine/core/GlfwLibrary.h"
#include "engine/core/Label.h"
#include "engine/core/Window.h"
#include "engine/core/World.h"
#include "engine/core/application/Application.h"
#include "engine/core/application/GlewInitError.h"
#include "engine/network/HostMigration.h"
#include "engine/network/MessageIdentifiers.h"
#include "engine/network/NetworkSystem.h"
#include "engine/network/SessionRoster.h"
#include "engine/physics/LifeSpan.h"
#include "engine/physics/Transform.h"
#include "engine/render/state/RenderState.h"

#include <glm/gtc/quaternion.hpp>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>

using namespace skyscuffle;

namespace {

constexpr std::uint32_t ownOrigin = 0xA0000000u;
constexpr kit::EntityID peerPlayer{0x5EED0001u, 1};
constexpr float frame = 1.0f / 60.0f;
// The most entities one call makes, effects included: a plane with its
// propeller, gun and shadow; a pick-up with its burst of sparks.
constexpr std::size_t entitiesPerCall = 64;
// A call takes at least its marker, a name's length and its arguments' length.
constexpr std::size_t smallestCallBits = 8 + 16 + 32;
constexpr std::size_t componentsPerEntity = 64;
// The longest life the game gives anything it spawns on a peer's word: a
// pick-up's, at its clamp.
constexpr float longestLife = 600.0f;
constexpr std::size_t packetsPerInput = 64;

void require(bool condition, const char* what)
{
    if (!condition) {
        std::cerr << "match fuzz: " << what << "\n";
        std::abort();
    }
}

// For the program's life: a hidden window with its context, the
// application on it, in the source tree so that the game's files are found.
struct Program {
    kit::GlfwLibrary glfw;
    std::unique_ptr<kit::Window> window;
    std::unique_ptr<kit::RenderState> state;
    std::unique_ptr<kit::Application> app;

    Program()
    {
        std::error_code ignored;
        std::filesystem::current_path(SKYSCUFFLE_SOURCE_DIR, ignored);
        kit::WindowSettings settings;
        settings.width = 64;
        settings.height = 64;
        settings.visible = false;
        window = glfw.ready() ? kit::Window::open(settings) : nullptr;
        require(window != nullptr, "no OpenGL context: run under a display (xvfb-run)");
        kit::initializeGlew();
        state = std::make_unique<kit::RenderState>();
        app = std::make_unique<kit::Application>(window.get(), state.get());
        std::cout.rdbuf(nullptr); // the match's console lines are not wanted here
    }
};

kit::Application& application()
{
    // Never destroyed: the driver stays loaded and what Mesa keeps on purpose
    // stays reachable, instead of turning into leaks of an unloaded module.
    static Program* program = new Program;
    return *program->app;
}

kit::EntityHandle addPilot(kit::World& world, kit::NetworkSystem& network, int colour)
{
    const kit::EntityHandle player = world.createEntity();
    auto keep = [&](kit::Component* c) {
        c->addTag(kit::tagId("persistant"));
        world.addComponent(player, c);
    };
    keep(new kit::Label("player"));
    auto* ai = new ArtificialIntelligence;
    keep(ai);
    keep(new VirtualGamepadAI(ai));
    network.callFunction(fn::spawnPersistantPlayer, player, playerColours()[static_cast<std::size_t>(colour)],
                         colour + 1);
    return player;
}

// A match under way: this copy's two planes and the peer's one, half a second in.
std::shared_ptr<kit::World> startMatch(kit::NetworkSystem*& network)
{
    kit::Application& app = application();
    app.current.reset();
    app.pending.reset(); // the win screen a peer's "endGame" asked for last time
    Random::seed(1);
    auto world = std::make_shared<kit::World>(screens::matchWorld());
    world->origin = ownOrigin;
    network = new kit::NetworkSystem(30.0f);
    network->addTag(kit::tagId("persistant"));
    registerPlayerFunctions(*network);
    world->addComponent(kit::EntityHandle{world->systemEntity(), world.get()}, network);
    app.setWorld(world); // the first world is current at once: the match world's setup runs

    addPilot(*world, *network, 0);
    addPilot(*world, *network, 1);
    network->callFunction(fn::spawnPersistantPlayer, peerPlayer, playerColours()[2], 3);
    world->update(frame); // alone, the host starts the match at once: this copy's planes take off
    const SpawnPlacement start = spawnPlacement(2, 3);
    network->callFunction(fn::spawnPlayer, peerPlayer, start.position, start.rotation);
    for (int i = 0; i < 30; ++i)
        world->update(frame);
    return world;
}

void checkWorld(kit::World& world)
{
    std::map<kit::EntityID, std::size_t> perEntity;
    for (const kit::Component* c : world.components)
        require(++perEntity[c->entityId] <= componentsPerEntity, "an entity piles up components");
    for (kit::Component* c : world.getComponentCollection(kit::typeId<kit::LifeSpan>())->toVector()) {
        const auto* life = static_cast<const kit::LifeSpan*>(c);
        require(!(life->remaining > longestLife), "something lives longer than the game lets anything live");
    }
}

// The peer's connection, named by a first state packet (origin only), so
// that this copy, which hosts, judges its calls rather than holding them.
void introducePeer(kit::NetworkSystem& network, const kit::NetAddress& from)
{
    kit::NetStream packet;
    packet.write(kit::NetworkSystem::stateUpdateId);
    packet.write(peerPlayer.origin);
    packet.write(std::string("game"));
    packet.write(false);
    network.handlePacket(
        kit::NetPeer::Packet{std::vector<std::uint8_t>(packet.data(), packet.data() + packet.bytesUsed()), from, 7});
}

// Who may call each of the game's functions, as the game declares it.
std::map<std::string, kit::Caller, std::less<>> declaredRules()
{
    std::map<std::string, kit::Caller, std::less<>> rules;
    auto add = [&](const auto& function) { rules.emplace(function.name, function.caller); };
    add(fn::spawnBullet);
    add(fn::spawnBomb);
    add(fn::spawnPowerup);
    add(fn::grantPower);
    add(fn::grantInvincibility);
    add(fn::spawnBombSpawner);
    add(fn::addKillPoints);
    add(fn::addDeathPoints);
    add(fn::spawnTaunt);
    add(fn::playSound);
    add(fn::print);
    add(fn::spawnPlayer);
    add(fn::startGameplay);
    add(fn::endGame);
    add(fn::spawnPersistantPlayer);
    add(fn::requestPlayers);
    add(fn::refuseSeat);
    add(kit::destroyEntityFunction);
    add(kit::destroyComponentFunction);
    return rules;
}

// The oracle: a call of the peer ran here only if the peer may make it.
void checkCaller(const kit::NetworkSystem::CallRun& call, const kit::World& world)
{
    static const auto rules = declaredRules();
    const auto rule = rules.find(call.name);
    require(rule != rules.end(), "a call of a function the game does not declare ran");
    require(call.caller == peerPlayer.origin, "a peer's call ran as another copy's");
    const bool owner = call.about.origin == peerPlayer.origin;
    switch (rule->second) {
    case kit::Caller::anyone:
        return;
    case kit::Caller::owner:
        require(owner, "a peer's call about an entity it does not own ran");
        return;
    case kit::Caller::ownerOrShared:
        require(owner || world.entityHasTag(call.about, kit::tagId(kit::sharedLabel)),
                "a peer's call about an entity neither its own nor shared ran");
        return;
    case kit::Caller::host:
        require(false, "a host's call ran from a peer that does not host");
        return;
    }
}

// This copy was joined to a host that went; the peer and this copy were the
// last roster, this copy first: it hosts the session now, on a port of its
// own, and the peer's connection (named by its state) comes back to it.
void takeOverFromAHostThatWent(kit::NetworkSystem& network)
{
    const kit::NetAddress oldHost{0x7F000001, 40001};
    network.migration().joined();
    network.handlePacket(kit::NetPeer::Packet{{kit::message::connectionRequestAccepted}, oldHost, 9});
    kit::SessionRoster roster;
    roster.host = 0x0BADBEEFu;
    roster.sequence = 1;
    roster.members = {{ownOrigin, 0x7F000001}, {peerPlayer.origin, 0x7F000001}};
    const kit::NetStream packet = roster.encode();
    network.handlePacket(
        kit::NetPeer::Packet{std::vector<std::uint8_t>(packet.data(), packet.data() + packet.bytesUsed()), oldHost, 9});
    network.handlePacket(kit::NetPeer::Packet{{kit::message::disconnectionNotification}, oldHost, 9});
    require(network.isServer() && network.migration().outcome() == kit::HostMigration::Outcome::hostsSession,
            "the copy did not take over as host");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    kit::NetworkSystem* network = nullptr;
    std::shared_ptr<kit::World> world = startMatch(network);
    const kit::NetAddress from{0x7F000001, 40000};
    if (size > 0 && (data[0] & 1)) {
        takeOverFromAHostThatWent(*network);
        ++data;
        --size;
    }
    kit::ScopedConnection oracle =
        network->accepted.connect([&world](const kit::NetworkSystem::CallRun& call) { checkCaller(call, *world); });
    introducePeer(*network, from);
    const std::size_t functions = network->functionCount();

    std::size_t at = 0;
    for (std::size_t n = 0; n < packetsPerInput && at < size; ++n) {
        std::size_t length = size - at;
        if (length >= 2) {
            length = std::min<std::size_t>(data[at] | (std::size_t(data[at + 1]) << 8), size - at - 2);
            at += 2;
        }
        const std::uint8_t* bytes = data + at;
        at += length;

        const std::size_t before = world->entities.size();
        const std::size_t peersBefore = network->peers().size();
        network->handlePacket(kit::NetPeer::Packet{std::vector<std::uint8_t>(bytes, bytes + length), from, 7});
        const std::size_t calls = std::max<std::size_t>(1, 8 * length / smallestCallBits);
        require(world->entities.size() <= before + entitiesPerCall * calls, "a packet made more than its calls could");
        require(network->peers().size() <= peersBefore + 1, "a packet added more than one peer");
        require(network->functionCount() == functions, "a name from a peer entered the registry");
        world->update(frame);
        checkWorld(*world);
    }

    // The world goes as a world switch would take it, its handlers with it.
    kit::Application& app = application();
    app.current.reset();
    app.pending.reset();
    world.reset();
    return 0;
}
