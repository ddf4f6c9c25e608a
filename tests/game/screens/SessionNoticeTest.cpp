// The join screen's lines about the session: how friends elsewhere reach a
// hosting copy, from what its router answered, on a plate that holds the
// longest of them and, on the join screen, fits the narrowest window. The
// lab case runs only in the network lab's home A (tests/scripts/netlab_test.sh),
// where a router maps ports; in the suite's own namespace no router answers.
#include "game/screens/SessionNotice.h"

#include "game/screens/JoinLayout.h"
#include "game/widgets/Overlay.h"

#include "engine/core/Window.h"
#include "engine/core/World.h"
#include "engine/input/Keyboard.h"
#include "engine/network/InviteCode.h"
#include "engine/network/NetworkSystem.h"
#include "engine/network/PortMapping.h"

#include <gtest/gtest.h>

#include <iostream>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

using namespace skyscuffle;

namespace {

struct HostingCopy : ::testing::Test {
    kit::World world;
    kit::NetworkSystem* network = new kit::NetworkSystem(30.0f);
    kit::Window window; // detached: a clipboard of its own
    kit::Keyboard keyboard{window};

    void SetUp() override
    {
        world.keyboard = &keyboard;
        world.addComponent(kit::EntityHandle{world.systemEntity(), &world}, network);
        testing::internal::CaptureStdout();
    }
    void TearDown() override
    {
        const std::string console = testing::internal::GetCapturedStdout();
        if (HasFailure())
            std::cout << console; // the failures' own lines went there too
    }
    // The line once the router's first answer is in (some seconds when none answers).
    std::string answered()
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (network->portMapping() &&
               network->portMapping()->status().outcome == kit::PortMapping::Outcome::asking &&
               std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return internetNoticeLine(*network);
    }
};

bool inLabHomeA()
{
    const char* home = std::getenv("SKYSCUFFLE_NETLAB_HOME");
    return home && std::string(home) == "homeA";
}

} // namespace

TEST_F(HostingCopy, WithoutARouterTheLineNamesThePortToForwardByHand)
{
    if (inLabHomeA())
        GTEST_SKIP() << "home A's router answers";
    EXPECT_EQ(internetNoticeLine(*network), "") << "not hosting";
    network->host(0, 4);
    EXPECT_EQ(internetNoticeLine(*network), "") << "a copy that does not ask its router says nothing";
    network->mapsPort = true;
    network->host(0, 4);
    ASSERT_NE(network->portMapping(), nullptr);
    const std::string port = std::to_string(network->peer->boundPort());
    EXPECT_EQ(internetNoticeLine(*network), "Asking the router to open UDP port " + port + "...");
    EXPECT_EQ(answered(), "For friends elsewhere, forward UDP port " + port + " here");
    EXPECT_EQ(inviteCodeOf(*network), "");
    window.setClipboardText("before");
    EXPECT_FALSE(copyInviteCode(&world)) << "no code to copy";
    EXPECT_EQ(window.clipboardText(), "before");
    // Joining another copy, or on its own again, it has nothing to say.
    network->join("127.0.0.1", 9);
    EXPECT_EQ(network->portMapping(), nullptr);
    EXPECT_EQ(internetNoticeLine(*network), "");
}

TEST_F(HostingCopy, BehindARouterThatMapsTheLineGivesTheInviteCode)
{
    if (!inLabHomeA())
        GTEST_SKIP() << "runs in the network lab's home A";
    network->mapsPort = true;
    network->host(16519, 4);
    EXPECT_EQ(answered(), "Friends elsewhere: code 2D222-J6J69L (11.0.1.2:16519)");
    EXPECT_EQ(inviteCodeOf(*network), "2D222-J6J69L");
    EXPECT_TRUE(copyInviteCode(&world));
    EXPECT_EQ(window.clipboardText(), "2D222-J6J69L");
    const kit::PortMapping* first = network->portMapping();
    network->host(16519, 4); // hosting again on the same port keeps the mapping
    EXPECT_EQ(network->portMapping(), first);
    network->reset();
    EXPECT_EQ(network->portMapping(), nullptr);
    kit::PortMapping::finishRemovals();
}

namespace {

// Every outcome a router's answer can have, a mapped one with the address
// and port of the most digits.
std::vector<kit::PortMapping::Status> everyAnswer()
{
    using Outcome = kit::PortMapping::Outcome;
    std::vector<kit::PortMapping::Status> answers;
    for (Outcome outcome :
         {Outcome::asking, Outcome::mapped, Outcome::noRouter, Outcome::refused, Outcome::privateExternal}) {
        kit::PortMapping::Status status;
        status.outcome = outcome;
        status.external = kit::NetAddress{0xFFFFFFFF, 65535};
        answers.push_back(status);
    }
    return answers;
}

// The overlay of a 4:3 window, the narrowest the game opens, runs from -4/3 to 4/3.
constexpr float narrowestHalfWidth = 4.0f / 3.0f;

} // namespace

TEST(InternetLines, NoneIsLongerThanThePlateHolds)
{
    std::size_t longest = 0;
    for (const kit::PortMapping::Status& status : everyAnswer())
        longest = std::max(longest, internetLine(status, 65535).size());
    EXPECT_EQ(internetLine(everyAnswer()[1], 65535), "Friends elsewhere: code " +
                                                         kit::inviteCode::encode(kit::NetAddress{0xFFFFFFFF, 65535}) +
                                                         " (255.255.255.255:65535)");
    EXPECT_LE(longest, longestInternetLine);

    const glm::vec2 at(0.3f, -0.2f);
    const NoticeBounds plate = internetPlateBounds(at);
    EXPECT_LT(plate.left, at.x);
    EXPECT_GT(plate.right, at.x + widgets::glyphAdvance(internetLineSize) * static_cast<float>(longest))
        << "the longest line runs off its plate";
    EXPECT_GT(plate.top, at.y + internetLineSize) << "the code's line stands on the plate";
    EXPECT_LT(plate.bottom, at.y - 1.5f * internetLineSize) << "so does the hint under it";
    EXPECT_NEAR(plate.top, at.y + 1.6f * internetLineSize, 1e-5f) << "the hint grows it downwards only";
}

TEST(InternetLines, OnTheJoinScreenThePlateFitsTheNarrowestWindowBesideThePlayers)
{
    const JoinLayout layout; // at the first text size
    const NoticeBounds plate = internetPlateBounds(layout.internetAt);
    EXPECT_LE(plate.right, narrowestHalfWidth) << "the end of the longest line would be cut off in a 4:3 window";
    EXPECT_GT(plate.left, layout.players.centre.x + 0.5f * layout.players.size.x)
        << "it would cover the players' panel";
    EXPECT_GE(plate.bottom, -1.0f);
    EXPECT_LE(plate.top, 1.0f);
}

TEST(InternetLines, ThePlateGrowsForTheHintOnlyWhereItWasNotMadeForIt)
{
    EXPECT_EQ(noticePlateScale(false, false, false), 0.0f) << "no lines, no plate";
    EXPECT_EQ(noticePlateScale(false, true, true), 0.0f);
    EXPECT_EQ(noticePlateScale(true, false, false), 1.0f);
    EXPECT_GT(noticePlateScale(true, true, false), 1.4f) << "a code: the hint's line under it";
    EXPECT_EQ(noticePlateScale(true, true, true), 1.0f) << "broken to a width: made for the hint already";
    EXPECT_EQ(noticePlateScale(true, false, true), 1.0f);
}

TEST(InternetLines, AMappingToAnotherPublicPortNamesThatPort)
{
    kit::PortMapping::Status status;
    status.outcome = kit::PortMapping::Outcome::mapped;
    status.external = kit::NetAddress{0xC6336417, 40001}; // a NAT-PMP gateway's choice of port
    EXPECT_EQ(internetLine(status, 16519),
              "Friends elsewhere: code " + kit::inviteCode::encode(status.external) + " (198.51.100.23:40001)");
    status.outcome = kit::PortMapping::Outcome::refused;
    EXPECT_EQ(internetLine(status, 16519), "For friends elsewhere, forward UDP port 16519 here");
}
