// The hostile peer against real copies on loopback (the suite runs inside the
// private network namespace): what it sends is what the game reads, and what
// it prints is what the game sent. The peer runs its script on a thread of
// its own while the test steps the game copy.
#include "tools/peer/HostilePeer.h"
#include "tools/peer/ScriptParser.h"

#include "engine/core/World.h"
#include "engine/network/NetPeer.h"
#include "engine/network/NetworkSystem.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace {

constexpr std::uint32_t hostOrigin = 0x1000;
constexpr std::uint32_t peerOrigin = 0x2000;
constexpr kit::NamedFunction<std::string, float> record{"record"};

// A replicated component with a one-byte state, type name "t".
class Beacon : public kit::Component {
public:
    Beacon()
    {
        addTag(kit::tagId("t"));
        addTag(kit::tagId("networked"));
    }
    void serialize(kit::NetStream& stream) override { stream.serialize(value); }
    std::string networkTypeName() const override { return "t"; }
    std::uint8_t value = 0xEE;
};

// One copy of the game: a world with its network system, logging "record" calls.
struct Copy {
    kit::World world;
    kit::NetworkSystem* network = new kit::NetworkSystem(30.0f);
    std::vector<std::string> log;

    Copy()
    {
        world.origin = hostOrigin;
        world.addComponent(kit::EntityHandle{world.systemEntity(), &world}, network);
        network->registerFunction(record, [this](kit::EntityHandle e, const std::string& text, float number) {
            log.push_back(text + ":" + std::to_string(number) + "@" + std::to_string(e.id.origin) + ":" +
                          std::to_string(e.id.serial));
        });
    }
};

// Runs a script on its own thread; its output is collected in a temporary file.
class ScriptRun {
public:
    explicit ScriptRun(const std::string& text) : out_(std::tmpfile())
    {
        const peer::ParseResult parsed = peer::ScriptParser::parse(text);
        EXPECT_TRUE(parsed.ok()) << parsed.error;
        thread_ = std::thread([this, script = parsed.script] {
            peer::HostilePeer hostile(out_, peerOrigin);
            status_ = hostile.run(script);
            done_ = true;
        });
    }
    ~ScriptRun()
    {
        if (thread_.joinable())
            thread_.join();
        std::fclose(out_);
    }
    [[nodiscard]] bool done() const { return done_; }
    // Waits for the end; the exit status.
    int finish()
    {
        thread_.join();
        return status_;
    }
    [[nodiscard]] std::string output() const
    {
        std::string text;
        std::rewind(out_);
        for (int c; (c = std::fgetc(out_)) != EOF;)
            text += static_cast<char>(c);
        return text;
    }

private:
    std::FILE* out_;
    std::thread thread_;
    std::atomic<bool> done_ = false;
    int status_ = -1;
};

// Steps `step` until the script ends (at most ten seconds).
void runAlongside(ScriptRun& run, const std::function<void()>& step)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!run.done() && std::chrono::steady_clock::now() < end) {
        step();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

// A port nobody uses now.
std::uint16_t freePort()
{
    kit::NetPeer probe;
    EXPECT_TRUE(probe.start(0, 1));
    const std::uint16_t port = probe.boundPort();
    probe.shutdown();
    return port;
}

std::string joinScript(std::uint16_t port, const std::string& body)
{
    return "origin " + std::to_string(peerOrigin) + "\njoin 127.0.0.1 " + std::to_string(port) +
           "\nwait connected 5\nheartbeat 30\n" + body;
}

} // namespace

TEST(HostilePeer, ItsCallsAndStateAreReadByTheGameAsWritten)
{
    testing::internal::CaptureStdout();
    Copy host;
    host.network->host(0, 8);
    const kit::EntityHandle beacon = {kit::EntityID{peerOrigin, 9}, &host.world};
    auto* state = new Beacon;
    host.world.addComponent(beacon, state);

    ScriptRun run(joinScript(host.network->peer->boundPort(), R"(screen "lobbyX"
wait 0.3
call record id(me, 7) "hello" 2.5
state id(me, 9) t u8(0x42)
batch {
  call record id(me, 8) "first" 1.0
  call record id(me, 8) "second" f32(2)
}
wait 0.5
)"));
    std::string screen; // as the host heard it (the record goes when the peer leaves)
    runAlongside(run, [&] {
        host.world.update(1.0f / 60.0f);
        if (host.network->peers().contains(peerOrigin))
            screen = host.network->peers().at(peerOrigin).screenName;
    });
    EXPECT_EQ(run.finish(), 0) << run.output();
    testing::internal::GetCapturedStdout();

    EXPECT_EQ(host.log,
              (std::vector<std::string>{"hello:2.500000@8192:7", "first:1.000000@8192:8", "second:2.000000@8192:8"}));
    EXPECT_EQ(state->value, 0x42);
    EXPECT_EQ(screen, "lobbyX");
}

TEST(HostilePeer, ItPrintsTheGamesCallsStateAndConnectionEvents)
{
    testing::internal::CaptureStdout();
    Copy host;
    host.network->host(0, 8);
    host.network->screenName = "game";
    host.world.addComponent(kit::EntityHandle{kit::EntityID{hostOrigin, 3}, &host.world}, new Beacon);
    const std::uint16_t port = host.network->peer->boundPort();

    ScriptRun run(joinScript(port, "wait copy 5\nwait call record 5\nwait screen game 5\nwait 0.3\n"));
    bool called = false;
    runAlongside(run, [&] {
        if (!called && host.network->peers().contains(peerOrigin)) {
            host.network->callFunction(record, kit::EntityID{hostOrigin, 3}, "x", 1.0f);
            called = true;
        }
        host.world.update(1.0f / 60.0f);
    });
    EXPECT_EQ(run.finish(), 0) << run.output();
    testing::internal::GetCapturedStdout();

    const std::string out = run.output();
    EXPECT_NE(out.find("peer origin 00002000\n"), std::string::npos) << out;
    EXPECT_NE(out.find("event connected to 127.0.0.1|" + std::to_string(port) + "\n"), std::string::npos) << out;
    EXPECT_NE(out.find("call record entity 00001000:3, "), std::string::npos) << out;
    EXPECT_NE(out.find("state from 00001000 screen \"game\": "), std::string::npos) << out;
    EXPECT_NE(out.find(", t "), std::string::npos) << out; // the beacon's records, counted by type
    EXPECT_NE(out.find("received call record x1\n"), std::string::npos) << out;
}

TEST(HostilePeer, RawPacketsArriveAsWrittenCutWhereAsked)
{
    kit::NetPeer host;
    ASSERT_TRUE(host.start(0, 4));
    host.setMaximumIncomingConnections(4);
    ScriptRun run("join 127.0.0.1 " + std::to_string(host.boundPort()) + R"(
wait connected 5
packet hex("87 01 02 03 04")
packet unreliable cut 3 hex("88 05 06 07")
packet reliable cut 0 u8(1)
batch {
  call a id(1, 2)
  call b id(3, 4) u8(5)
}
wait 0.5
)");
    std::vector<std::vector<std::uint8_t>> received;
    runAlongside(run, [&] {
        kit::NetPeer::Packet packet;
        while (host.receive(packet)) {
            if (packet.data.size() > 1) // not a connection event
                received.push_back(packet.data);
        }
    });
    EXPECT_EQ(run.finish(), 0) << run.output();

    kit::NetStream calls;
    for (const auto& [name, id, extra] :
         {std::tuple{"a", kit::EntityID{1, 2}, false}, std::tuple{"b", kit::EntityID{3, 4}, true}}) {
        calls.write(kit::NetworkSystem::remoteCallsId);
        calls.write(std::string(name));
        kit::NetStream arguments;
        arguments.write(id);
        if (extra)
            arguments.write(std::uint8_t{5});
        calls.write(arguments);
    }
    calls.write(std::uint8_t{0});
    // The empty packet is never delivered: a datagram holds at least its identifier.
    ASSERT_EQ(received.size(), 3u);
    EXPECT_EQ(received[0], (std::vector<std::uint8_t>{0x87, 1, 2, 3, 4}));
    EXPECT_EQ(received[1], (std::vector<std::uint8_t>{0x88, 5, 6}));
    EXPECT_EQ(received[2], std::vector<std::uint8_t>(calls.data(), calls.data() + calls.bytesUsed()));
}

TEST(HostilePeer, ItHostsACopyThatJoinsIt)
{
    testing::internal::CaptureStdout();
    const std::uint16_t port = freePort();
    ScriptRun run("origin " + std::to_string(peerOrigin) + "\nhost " + std::to_string(port) + R"(
screen game
heartbeat 30
wait copy 5
call record id(me, 1) "from the host" 3.0
wait 0.5
)");
    Copy joined;
    joined.network->join("127.0.0.1", port);
    std::string screen;
    runAlongside(run, [&] {
        joined.world.update(1.0f / 60.0f);
        if (joined.network->peers().contains(peerOrigin))
            screen = joined.network->peers().at(peerOrigin).screenName;
    });
    EXPECT_EQ(run.finish(), 0) << run.output();
    testing::internal::GetCapturedStdout();

    EXPECT_EQ(joined.log, (std::vector<std::string>{"from the host:3.000000@8192:1"}));
    EXPECT_EQ(screen, "game");
    EXPECT_NE(run.output().find("event copy connected from 127.0.0.1|"), std::string::npos) << run.output();
}

TEST(HostilePeer, AWaitThatTimesOutOrLosesItsHostFailsTheScript)
{
    testing::internal::CaptureStdout();
    {
        ScriptRun run("wait call never 0.2\nsay not reached\n");
        EXPECT_EQ(run.finish(), 1);
        EXPECT_EQ(run.output().find("not reached"), std::string::npos);
    }
    auto host = std::make_unique<Copy>();
    host->network->host(0, 8);
    // The host answers, then goes: the wait gives up then, not an hour later
    // (were it to wait, the test would hang and time out).
    ScriptRun run(joinScript(host->network->peer->boundPort(), "wait copy 5\nwait call never 3600\n"));
    runAlongside(run, [&] {
        if (host && host->network->peers().contains(peerOrigin))
            host.reset();
        else if (host)
            host->world.update(1.0f / 60.0f);
    });
    EXPECT_TRUE(run.done());
    EXPECT_EQ(run.finish(), 1);
    testing::internal::GetCapturedStdout();
}
