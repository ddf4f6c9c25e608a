// Named functions on one copy, without a connection: registration, scoping to
// a world, argument types and handle arguments.
#include "engine/core/Window.h"
#include "engine/core/World.h"
#include "engine/core/application/Application.h"
#include "engine/network/NetworkSystem.h"

#include <gtest/gtest.h>

namespace {

constexpr kit::NamedFunction<> ping{"ping"};
constexpr kit::NamedFunction<float> scale{"scale"};
constexpr kit::NamedFunction<std::string> scaleByName{"scale"}; // the same name, other arguments
constexpr kit::NamedFunction<kit::EntityID, kit::EntityHandle, kit::EntityHandle> linkUp{"link"};

// The network system of one copy, on the system entity of a first world.
struct OneCopy : ::testing::Test {
    std::unique_ptr<kit::World> first = std::make_unique<kit::World>();
    kit::NetworkSystem* network = new kit::NetworkSystem(30.0f);

    void SetUp() override { first->addComponent(kit::EntityHandle{first->systemEntity(), first.get()}, network); }
    // Moves the system, as a world switch does.
    void moveTo(kit::World& next) { next.addComponent(kit::EntityHandle{next.systemEntity(), &next}, network); }
};

} // namespace

TEST_F(OneCopy, AWorldsHandlersRunOnlyWhileTheSystemIsThereAndEndWithIt)
{
    std::vector<std::string> ran;
    network->registerFunction(*first, ping, [&](kit::EntityHandle e) {
        EXPECT_EQ(e.world, first.get());
        ran.push_back("first");
    });
    network->callFunction(ping, kit::EntityID{1, 1});
    EXPECT_EQ(ran, std::vector<std::string>{"first"});

    auto second = std::make_unique<kit::World>();
    moveTo(*second);
    network->callFunction(ping, kit::EntityID{1, 2}); // nobody of the second world registered yet
    network->registerFunction(*second, ping, [&](kit::EntityHandle) { ran.push_back("second"); });
    network->callFunction(ping, kit::EntityID{1, 3}); // the first world still exists, but is left
    EXPECT_EQ(ran, (std::vector<std::string>{"first", "second"}));

    EXPECT_EQ(network->function("ping")->num_slots(), 2u);
    first.reset();
    EXPECT_EQ(network->function("ping")->num_slots(), 1u); // cut with its world
    network->callFunction(ping, kit::EntityID{1, 4});
    EXPECT_EQ(ran, (std::vector<std::string>{"first", "second", "second"}));
}

TEST_F(OneCopy, SwitchingScreensNeverDoublesAHandler)
{
    kit::Window window;
    kit::Application app(&window, nullptr);
    int runs = 0;
    auto screen = [&](kit::World* world) {
        network->registerFunction(*world, ping, [&runs](kit::EntityHandle) { ++runs; });
    };
    network->addTag(kit::tagId("persistant"));
    auto start = std::make_shared<kit::World>(screen);
    moveTo(*start);
    first.reset();
    app.setWorld(start);
    start.reset();
    for (int round = 1; round <= 5; ++round) {
        app.setWorld(std::make_shared<kit::World>(screen));
        app.frame(0.0f);
        runs = 0;
        network->callFunction(ping, kit::EntityID{1, 1});
        EXPECT_EQ(runs, 1) << "round " << round;
        EXPECT_EQ(network->function("ping")->num_slots(), 1u);
    }
    // The system goes with the application's world; the handlers' connections with it.
}

TEST_F(OneCopy, AHandlerMayEndItsOwnWorldsRegistrationsWhileItRuns)
{
    int runs = 0;
    network->registerFunction(*first, ping, [&, note = std::string(40, 'n')](kit::EntityHandle e) {
        e.world->connections.clear(); // cuts this very handler
        runs += note.size() == 40 ? 1 : 0;
    });
    network->callFunction(ping, kit::EntityID{1, 1});
    network->callFunction(ping, kit::EntityID{1, 2});
    EXPECT_EQ(runs, 1);
}

TEST_F(OneCopy, EveryHandleArgumentIsInTheWorldOfTheCall)
{
    kit::World* worlds[2] = {nullptr, nullptr};
    kit::EntityID ids[3];
    network->registerFunction(*first, linkUp,
                              [&](kit::EntityHandle, kit::EntityID plain, kit::EntityHandle a, kit::EntityHandle b) {
                                  ids[0] = plain;
                                  ids[1] = a.id;
                                  ids[2] = b.id;
                                  worlds[0] = a.world;
                                  worlds[1] = b.world;
                              });
    kit::World elsewhere;
    network->callFunction(linkUp, kit::EntityID{1, 1}, kit::EntityID{2, 2},
                          kit::EntityHandle{kit::EntityID{3, 3}, &elsewhere}, kit::EntityHandle{kit::EntityID{4, 4}});
    EXPECT_EQ(worlds[0], first.get());
    EXPECT_EQ(worlds[1], first.get());
    EXPECT_EQ(ids[0], (kit::EntityID{2, 2}));
    EXPECT_EQ(ids[1], (kit::EntityID{3, 3}));
    EXPECT_EQ(ids[2], (kit::EntityID{4, 4}));
}

// A call compiles only with arguments that convert to the declared types.
template <class... Given> constexpr bool callable = requires(kit::NetworkSystem& n, Given... given)
{
    n.callFunction(scale, kit::EntityID{}, given...);
};
static_assert(callable<float>);
static_assert(callable<int>); // converted to float at the call
static_assert(!callable<std::string>);
static_assert(!callable<>);
static_assert(!callable<float, float>);

TEST_F(OneCopy, ArgumentsArriveAsTheDeclaredTypes)
{
    float seen = 0.0f;
    network->registerFunction(*first, scale, [&](kit::EntityHandle, float value) { seen = value; });
    network->callFunction(scale, kit::EntityID{1, 1}, 3); // an int literal
    EXPECT_EQ(seen, 3.0f);
    // The stream holds a float, not the int's bits.
    kit::NetStream queued = network->pendingCalls;
    queued.resetReading();
    std::uint8_t marker = 0;
    std::string name;
    kit::NetStream arguments;
    queued.read(marker);
    queued.read(name);
    queued.read(arguments);
    kit::EntityID id;
    float value = 0.0f;
    arguments.read(id);
    arguments.read(value);
    EXPECT_EQ(value, 3.0f);
}

TEST_F(OneCopy, ANameKeepsTheArgumentTypesItWasFirstRegisteredWith)
{
    float seen = 0.0f;
    network->registerFunction(*first, scale, [&](kit::EntityHandle, float value) { seen = value; });
    testing::internal::CaptureStderr();
    network->registerFunction(*first, scaleByName, [](kit::EntityHandle, const std::string&) { FAIL(); });
    network->callFunction(scaleByName, kit::EntityID{1, 1}, "2.5");
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(errors, "Named function \"scale\" was registered with other argument types\n"
                      "Named function \"scale\" was registered with other argument types\n");
    EXPECT_EQ(seen, 0.0f);
    EXPECT_EQ(network->pendingCalls.bitsUsed(), 0u); // nothing queued for the peers either
    EXPECT_EQ(network->function("scale")->num_slots(), 1u);
}
