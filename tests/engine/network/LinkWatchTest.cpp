// The link to every copy of a session, on every copy: three copies in one
// process on loopback, the host measuring its links and reporting them, the
// joined copies adding their own leg; and a joined copy taking reports only
// whole and only from its host.
#include "engine/network/LinkWatch.h"
#include "engine/network/HostMigration.h"
#include "engine/network/LinkReport.h"
#include "engine/network/NetworkSystem.h"
#include "engine/network/SessionRoster.h"

#include "engine/core/World.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

using kit::LinkQuality;
using kit::LinkReport;
using kit::NetworkSystem;

namespace {

struct LinkedCopy {
    kit::World world;
    NetworkSystem* network = new NetworkSystem(30.0f);
    bool running = true;

    explicit LinkedCopy(std::uint32_t origin)
    {
        world.origin = origin;
        world.addComponent(kit::EntityHandle{world.systemEntity(), &world}, network);
    }
    void frame(float dt = 1.0f / 60.0f)
    {
        if (running)
            world.update(dt);
    }
    [[nodiscard]] const kit::LinkWatch& links() const { return network->links(); }
};

// A report as the host would send it, of one copy's link.
kit::NetPeer::Packet linkReportPacket(const std::vector<LinkReport::Entry>& entries, kit::NetAddress from)
{
    LinkReport report;
    report.entries = entries;
    const kit::NetStream bytes = report.encode();
    return kit::NetPeer::Packet{{bytes.data(), bytes.data() + bytes.bytesUsed()}, from, 0};
}

class LinkQualityInASession : public ::testing::Test {
protected:
    static constexpr std::uint32_t hostOrigin = 0xA0000001;
    static constexpr std::uint32_t firstOrigin = 0xB0000002;
    static constexpr std::uint32_t secondOrigin = 0xC0000003;

    void SetUp() override
    {
        testing::internal::CaptureStdout();
        host.network->host(0, 8);
        ASSERT_NE(host.network->peer->boundPort(), 0);
        first.network->join("127.0.0.1", host.network->peer->boundPort());
        second.network->join("127.0.0.1", host.network->peer->boundPort());
        ASSERT_TRUE(linkFramesUntil([&] {
            const auto& a = first.network->migration().roster();
            const auto& b = second.network->migration().roster();
            return a && b && a->members.size() == 2 && b->members.size() == 2 &&
                   first.network->peers().contains(secondOrigin) && second.network->peers().contains(firstOrigin);
        })) << "the session did not come together";
    }
    void TearDown() override
    {
        const std::string console = testing::internal::GetCapturedStdout();
        if (HasFailure())
            std::cout << console;
    }
    // Frames on every running copy until `done`; false after ten seconds.
    bool linkFramesUntil(const std::function<bool()>& done)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < end) {
            for (LinkedCopy* c : {&host, &first, &second})
                c->frame();
            if (done())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return false;
    }
    [[nodiscard]] kit::NetAddress hostAddress() const { return *first.network->migration().hostAddress(); }
    // Six seconds of play on every copy in a moment of wall-clock time: the
    // links are past their first seconds, which the console leaves alone.
    void settleLinks()
    {
        for (int i = 0; i < 60; ++i) {
            for (LinkedCopy* c : {&host, &first, &second})
                c->frame(0.1f);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    // The host and the other joined copy stop, and what they sent last
    // reaches the first joined copy: from now on only a test speaks to it.
    void stopAllButFirst()
    {
        host.running = false;
        second.running = false;
        for (int i = 0; i < 25; ++i) {
            first.frame();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    // Past the links' first seconds, the host stops (and with it its reports
    // of a fine link) and its last report calls the second copy's link poor;
    // the first copy judges once. What the console said meanwhile.
    std::string poorSpellOfSecond()
    {
        settleLinks();
        stopAllButFirst();
        first.network->handlePacket(linkReportPacket({{secondOrigin, LinkQuality{400, 0.07f}}}, hostAddress()));
        first.frame(1.0f);
        std::string console = testing::internal::GetCapturedStdout();
        testing::internal::CaptureStdout();
        return console;
    }

    LinkedCopy host{hostOrigin}, first{firstOrigin}, second{secondOrigin};
};

} // namespace

TEST_F(LinkQualityInASession, TheHostMeasuresEveryJoinedCopyItself)
{
    for (const std::uint32_t origin : {firstOrigin, secondOrigin}) {
        const std::optional<LinkQuality> link = host.links().of(origin);
        ASSERT_TRUE(link) << std::hex << origin;
        EXPECT_EQ(link, host.network->peer->linkQuality(host.network->peers().at(origin).address));
    }
    EXPECT_FALSE(host.links().of(hostOrigin)) << "no link to itself";
    EXPECT_FALSE(host.links().of(0x12345678)) << "nor to a copy it never heard of";
}

TEST_F(LinkQualityInASession, AJoinedCopysLinkToTheHostIsItsOwnMeasure)
{
    const std::optional<LinkQuality> link = first.links().of(hostOrigin);
    ASSERT_TRUE(link);
    EXPECT_EQ(link, first.network->peer->linkQuality(hostAddress()));
    EXPECT_FALSE(first.links().of(firstOrigin));
}

TEST_F(LinkQualityInASession, AJoinedCopyLearnsAnotherJoinedCopysLinkThroughTheHost)
{
    ASSERT_TRUE(linkFramesUntil([&] { return first.links().of(secondOrigin).has_value(); }))
        << "the host's report never came";
    const std::optional<LinkQuality> reported = first.links().reported(secondOrigin);
    ASSERT_TRUE(reported);
    EXPECT_EQ(first.links().of(secondOrigin),
              kit::throughHost(*first.network->peer->linkQuality(hostAddress()), *reported))
        << "both legs: this copy's to the host and the host's to the other copy";
    EXPECT_FALSE(first.links().reported(firstOrigin)) << "its own link it measures itself";
    EXPECT_TRUE(second.links().of(firstOrigin)) << "and the other way round";
}

TEST_F(LinkQualityInASession, AReportNamesWhatTheHostMeasuredFarAway)
{
    // A report as a faraway host's would read: the other copy slow, this one not.
    first.network->handlePacket(linkReportPacket(
        {{firstOrigin, LinkQuality{30, 0.0f}}, {secondOrigin, LinkQuality{400, 0.07f}}}, hostAddress()));
    const std::optional<LinkQuality> reported = first.links().reported(secondOrigin);
    ASSERT_TRUE(reported);
    EXPECT_EQ(reported->roundTripMs, 400u);
    EXPECT_FLOAT_EQ(reported->loss, 0.07f);
    const std::optional<LinkQuality> link = first.links().of(secondOrigin);
    ASSERT_TRUE(link);
    const LinkQuality leg = *first.network->peer->linkQuality(hostAddress());
    EXPECT_EQ(link->roundTripMs, 400u + leg.roundTripMs);
    EXPECT_TRUE(kit::isPoor(*link));
}

TEST_F(LinkQualityInASession, AJoinedCopyTellsTheConsoleWhenAnotherCopysLinkTurnsPoor)
{
    // The host stops (and with it its reports of a fine link) for the
    // moment this copy judges: less than the two seconds that would make it
    // gone.
    const std::string console = poorSpellOfSecond();
    const std::string line =
        "Link to copy " + kit::originText(secondOrigin) + " is poor: " + kit::describe(*first.links().of(secondOrigin));
    EXPECT_NE(console.find(line + "\n"), std::string::npos) << console;
    EXPECT_NE(line.find(" ms, "), std::string::npos);
}

TEST_F(LinkQualityInASession, ARejoinedCopyJudgesEveryLinkAfresh)
{
    // A copy told the console that another's link was poor, then joined the
    // session anew while the link was fine again: the fine spell in its new
    // session is a start, not news, and the next poor spell is told again.
    const std::string poorLine = "Link to copy " + kit::originText(secondOrigin) + " is poor";
    ASSERT_NE(poorSpellOfSecond().find(poorLine), std::string::npos);

    host.running = true;
    second.running = true;
    first.network->join("127.0.0.1", host.network->peer->boundPort());
    ASSERT_TRUE(linkFramesUntil([&] {
        const std::optional<LinkQuality> link = first.links().of(secondOrigin);
        return first.network->migration().roster() && link && !kit::isPoor(*link);
    })) << "the session did not come together again";
    const std::string console = poorSpellOfSecond();
    EXPECT_EQ(console.find(kit::originText(secondOrigin) + " is fine"), std::string::npos) << console;
    EXPECT_NE(console.find(poorLine), std::string::npos) << console;
}

TEST_F(LinkQualityInASession, FiguresCountOnlyFromTheCopyThatHostsNow)
{
    first.network->handlePacket(linkReportPacket({{secondOrigin, LinkQuality{400, 0.07f}}}, hostAddress()));
    ASSERT_TRUE(first.links().reported(secondOrigin));
    // The host's next roster names another copy as the session's host: what
    // the old one measured no longer describes the links of this session.
    kit::SessionRoster roster = *first.network->migration().roster();
    roster.host = secondOrigin;
    roster.sequence += 1;
    const kit::NetStream bytes = roster.encode();
    first.network->handlePacket(
        kit::NetPeer::Packet{{bytes.data(), bytes.data() + bytes.bytesUsed()}, hostAddress(), 1});
    ASSERT_EQ(first.network->migration().host(), secondOrigin);
    EXPECT_FALSE(first.links().reported(secondOrigin));
}

TEST_F(LinkQualityInASession, AJoinedCopyTakesReportsOnlyWholeAndFromItsHost)
{
    const kit::NetAddress from = hostAddress();
    first.network->handlePacket(linkReportPacket({{secondOrigin, LinkQuality{400, 0.07f}}}, from));
    ASSERT_EQ(first.links().reported(secondOrigin)->roundTripMs, 400u);
    auto unchanged = [&] {
        const std::optional<LinkQuality> link = first.links().reported(secondOrigin);
        return link && link->roundTripMs == 400u;
    };
    testing::internal::CaptureStderr();

    // From another address than the host's.
    first.network->handlePacket(linkReportPacket({{secondOrigin, LinkQuality{20, 0.0f}}},
                                                 kit::NetAddress{from.ip, static_cast<std::uint16_t>(from.port + 1)}));
    EXPECT_TRUE(unchanged()) << "a report from a copy that is not the host";

    // Counting more entries than it may, or than it holds.
    kit::NetStream tooMany;
    tooMany.write(LinkReport::id);
    tooMany.write(std::uint16_t{60000});
    tooMany.write(secondOrigin);
    tooMany.write(std::uint16_t{20});
    tooMany.write(std::uint16_t{0});
    first.network->handlePacket(kit::NetPeer::Packet{{tooMany.data(), tooMany.data() + tooMany.bytesUsed()}, from, 0});
    EXPECT_TRUE(unchanged()) << "a count too large";

    // Cut short in its one entry.
    kit::NetPeer::Packet cut = linkReportPacket({{secondOrigin, LinkQuality{20, 0.0f}}}, from);
    cut.data.resize(cut.data.size() - 1);
    first.network->handlePacket(cut);
    EXPECT_TRUE(unchanged()) << "a truncated report";
    cut.data.resize(1);
    first.network->handlePacket(cut);
    EXPECT_TRUE(unchanged()) << "an identifier alone";

    const std::string refused = testing::internal::GetCapturedStderr();
    EXPECT_NE(refused.find("a link report from a copy that is not the host"), std::string::npos) << refused;

    // Whole and from the host: out-of-range values bounded, unknown copies left out.
    kit::NetStream wild;
    wild.write(LinkReport::id);
    wild.write(std::uint16_t{2});
    wild.write(secondOrigin);
    wild.write(std::uint16_t{65535});
    wild.write(std::uint16_t{65535});
    wild.write(std::uint32_t{0x12345678});
    wild.write(std::uint16_t{20});
    wild.write(std::uint16_t{0});
    first.network->handlePacket(kit::NetPeer::Packet{{wild.data(), wild.data() + wild.bytesUsed()}, from, 0});
    EXPECT_EQ(first.links().reported(secondOrigin), (LinkQuality{9999, 1.0f}));
    EXPECT_FALSE(first.links().reported(0x12345678)) << "a copy this copy never heard of";
    EXPECT_FALSE(first.links().of(0x12345678));
    EXPECT_EQ(first.links().of(secondOrigin)->roundTripMs, 9999u) << "the sum stays within bounds";
}

TEST_F(LinkQualityInASession, TheHostTakesNoReportFromAJoinedCopy)
{
    testing::internal::CaptureStderr();
    const kit::NetAddress fromFirst = host.network->peers().at(firstOrigin).address;
    host.network->handlePacket(linkReportPacket({{secondOrigin, LinkQuality{400, 0.07f}}}, fromFirst));
    const std::string refused = testing::internal::GetCapturedStderr();
    EXPECT_NE(refused.find("a link report, which only a host sends"), std::string::npos) << refused;
    EXPECT_FALSE(host.links().reported(secondOrigin));
    ASSERT_TRUE(host.links().of(secondOrigin));
    EXPECT_EQ(host.links().of(secondOrigin),
              host.network->peer->linkQuality(host.network->peers().at(secondOrigin).address))
        << "the host measures for itself";
}

TEST_F(LinkQualityInASession, AReportLapsesWhenTheHostStopsSendingThem)
{
    stopAllButFirst();
    first.network->handlePacket(linkReportPacket({{secondOrigin, LinkQuality{400, 0.07f}}}, hostAddress()));
    ASSERT_TRUE(first.links().reported(secondOrigin));
    // Frames of the joined copy alone, short of the host's silence limit in
    // wall-clock time, long past the report's life on the frame clock.
    for (int i = 0; i < 4; ++i)
        first.frame(1.0f);
    EXPECT_FALSE(first.links().reported(secondOrigin));
    EXPECT_FALSE(first.links().of(secondOrigin));
}

TEST_F(LinkQualityInASession, TheOneWayDelayIsHalfTheRoundTripThroughTheHost)
{
    first.network->handlePacket(linkReportPacket(
        {{firstOrigin, LinkQuality{30, 0.0f}}, {secondOrigin, LinkQuality{400, 0.07f}}}, hostAddress()));
    const std::optional<LinkQuality> link = first.links().of(secondOrigin);
    ASSERT_TRUE(link);
    ASSERT_GE(link->roundTripMs, 400u);
    EXPECT_FLOAT_EQ(first.network->oneWayDelay(secondOrigin), link->roundTripMs / 2000.0f);
    const std::optional<LinkQuality> toHost = first.links().of(hostOrigin);
    ASSERT_TRUE(toHost);
    EXPECT_FLOAT_EQ(first.network->oneWayDelay(hostOrigin), toHost->roundTripMs / 2000.0f);
    // The host hears every copy first hand.
    const std::optional<LinkQuality> direct = host.links().of(secondOrigin);
    ASSERT_TRUE(direct);
    EXPECT_FLOAT_EQ(host.network->oneWayDelay(secondOrigin), direct->roundTripMs / 2000.0f);
    // None to itself, none to a copy it never heard of.
    EXPECT_EQ(first.network->oneWayDelay(firstOrigin), 0.0f);
    EXPECT_EQ(first.network->oneWayDelay(0x12345678), 0.0f);
    // An assumed delay stands for every other copy's, never for its own.
    first.network->assumedDelay = 0.25f;
    EXPECT_EQ(first.network->oneWayDelay(secondOrigin), 0.25f);
    EXPECT_EQ(first.network->oneWayDelay(0x12345678), 0.25f);
    EXPECT_EQ(first.network->oneWayDelay(firstOrigin), 0.0f);
}
