// The network screen: its options, hosting, joining a listed server (or
// rebuilding when the list was stale), the C key's console read, and the
// ways back.
#include "ScreenFixture.h"

#include "game/screens/Cursor.h"
#include "game/screens/NetworkScreen.h"

#include "engine/core/Settings.h"

namespace {

using namespace kit::keys;

class NetworkScreen : public test::Screens {
protected:
    void SetUp() override
    {
        Screens::SetUp();
        kit::settings::set("tuning.server.port", "0"); // any free port: tests may run side by side
        start(createNetworkScreen);
        frame();
    }
    void TearDown() override
    {
        if (console_)
            std::cin.rdbuf(console_);
        Screens::TearDown();
    }
    Cursor& cursor() { return *static_cast<Cursor*>(world()->getComponentCollection(kit::typeId<Cursor>())->first()); }
    void rebuild()
    {
        app->setWorld(std::make_shared<kit::World>(createNetworkScreen));
        frame();
    }
    // Standard input for the C key.
    void typeInConsole(const std::string& text)
    {
        typed_.str(text);
        typed_.clear();
        if (!console_)
            console_ = std::cin.rdbuf(typed_.rdbuf());
    }

private:
    std::stringstream typed_;
    std::streambuf* console_ = nullptr;
};

kit::NetAddress at(std::uint32_t ip, std::uint16_t port)
{
    return kit::NetAddress{ip, port};
}

TEST_F(NetworkScreen, AloneItOffersRefreshAndHosting)
{
    EXPECT_TRUE(logged("Creating Network Screen"));
    EXPECT_TRUE(logged("Press C to enter an IP to discover manually"));
    ASSERT_EQ(cursor().optionCount, 2);
    EXPECT_EQ(cursor().option(1).position, glm::vec3(-0.5f, 0.4f, 0.0f));
    EXPECT_EQ(cursor().option(2).position, glm::vec3(-0.5f, 0.3f, 0.0f));
}

TEST_F(NetworkScreen, TheMascotPlaysItsIdleLoop)
{
    const int first = mascotFrameAfter(0.0f);
    ASSERT_GE(first, 0) << "no mascot playing";
    EXPECT_NE(mascotFrameAfter(0.5f), first);
}

TEST_F(NetworkScreen, ListsTheCopiesThatHostInTheirOrder)
{
    discovery->servers[at(0x0A000005, 16520)] = {at(0x0A000005, 16520), true};
    discovery->servers[at(0x0A000007, 16521)] = {at(0x0A000007, 16521), false};
    discovery->servers[at(0x0A000002, 16521)] = {at(0x0A000002, 16521), true};
    rebuild();
    ASSERT_EQ(cursor().optionCount, 4);
    EXPECT_TRUE(logged("Session found: 10.0.0.5"));
    EXPECT_TRUE(logged("Session found: 10.0.0.2"));
    EXPECT_FALSE(logged("Session found: 10.0.0.7")) << "a copy that does not host is not offered";
    EXPECT_NEAR(cursor().option(3).position.y, 0.2f, 1e-6f);
    EXPECT_NEAR(cursor().option(4).position.y, 0.1f, 1e-6f);
}

TEST_F(NetworkScreen, RefreshBuildsTheScreenAgain)
{
    tap(enter);
    EXPECT_EQ(count("Creating Network Screen"), 2);
}

TEST_F(NetworkScreen, HostingLeadsToTheJoinScreenAndIsAnnounced)
{
    tap(down);
    tap(enter);
    EXPECT_TRUE(logged("Being a server"));
    EXPECT_TRUE(logged("Initializing join sreen!"));
    EXPECT_TRUE(network->isServer);
    EXPECT_TRUE(discovery->hosting);
    // Back out: the main menu ends the session.
    tap(escape);
    EXPECT_FALSE(discovery->hosting);
    EXPECT_FALSE(network->peer->isActive());
}

TEST_F(NetworkScreen, AServerThatStoppedHostingSinceTheListWasBuiltRebuildsTheScreen)
{
    const auto server = at(0x7F000001, 16520);
    discovery->servers[server] = {server, true};
    rebuild();
    ASSERT_EQ(cursor().optionCount, 3);
    discovery->servers[server].hosting = false;
    tap(up); // the server is the last option
    tap(enter);
    EXPECT_EQ(count("Creating Network Screen"), 3);
    EXPECT_FALSE(logged("Initializing join sreen!"));
    EXPECT_TRUE(network->isServer) << "no connection was attempted";

    discovery->servers[server].hosting = true;
    rebuild();
    discovery->servers.erase(server);
    tap(up);
    tap(enter);
    EXPECT_EQ(count("Creating Network Screen"), 5);
}

TEST_F(NetworkScreen, JoiningAListedServerConnectsAsAClient)
{
    const auto server = at(0x7F000001, 16520);
    discovery->servers[server] = {server, true};
    rebuild();
    tap(up);
    tap(enter);
    EXPECT_TRUE(logged("Initializing join sreen!"));
    EXPECT_FALSE(network->isServer);
    EXPECT_FALSE(discovery->hosting) << "a client offers nothing to join";
}

TEST_F(NetworkScreen, TheCKeyReadsAnAddressAndTheEndOfInputCountsAsEmpty)
{
    typeInConsole("  10.0.0.9 \n");
    tap(c);
    EXPECT_NE(log.str().find("IP to connect to: "), std::string::npos);
    EXPECT_EQ(count("Creating Network Screen"), 2);
    typeInConsole(""); // closed standard input: no wait, no loop
    tap(c);
    tap(c);
    EXPECT_EQ(count("Creating Network Screen"), 4);
}

TEST_F(NetworkScreen, EscapeBOrBackReturnToTheMainMenu)
{
    tap(escape);
    EXPECT_EQ(count("Creating Main Menu"), 1);
    rebuild();
    plugPad(0);
    pressButton(0, 1);
    EXPECT_EQ(count("Creating Main Menu"), 2);
    rebuild();
    pressButton(0, 8);
    EXPECT_EQ(count("Creating Main Menu"), 3);
}

TEST_F(NetworkScreen, EnteringItEndsTheSession)
{
    discovery->hosting = true;
    network->isServer = false;
    rebuild();
    EXPECT_FALSE(discovery->hosting);
    EXPECT_TRUE(network->isServer);
}

} // namespace
