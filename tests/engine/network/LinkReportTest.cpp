// The host's report of its links: read back as written, and any bytes a
// peer sends read without harm: too many entries, cut short, values out of
// bounds, an origin named twice.
#include "engine/network/LinkReport.h"

#include <gtest/gtest.h>

using kit::LinkQuality;
using kit::LinkReport;

namespace {

std::optional<LinkReport> readReport(const kit::NetStream& bytes)
{
    return LinkReport::decode(bytes.data(), bytes.bytesUsed());
}

// A report as a peer may write it: any count, any raw values.
kit::NetStream rawReport(std::uint16_t count, const std::vector<std::array<std::uint32_t, 3>>& entries)
{
    kit::NetStream out;
    out.write(LinkReport::id);
    out.write(count);
    for (const auto& [origin, roundTrip, loss] : entries) {
        out.write(origin);
        out.write(static_cast<std::uint16_t>(roundTrip));
        out.write(static_cast<std::uint16_t>(loss));
    }
    return out;
}

TEST(LinkReports, HaveTheirExactLayout)
{
    LinkReport report;
    report.entries = {{0x01020304, LinkQuality{310, 0.07f}}};
    const kit::NetStream packet = report.encode();
    const std::vector<std::uint8_t> bytes(packet.data(), packet.data() + packet.bytesUsed());
    // 139, count u16, then origin u32, round trip u16 (ms), loss u16 (hundredths of a percent).
    const std::vector<std::uint8_t> expected{0x8B, 0x00, 0x01, 0x01, 0x02, 0x03, 0x04, 0x01, 0x36, 0x02, 0xBC};
    EXPECT_EQ(bytes, expected);
}

TEST(LinkReports, ReadBackAsWritten)
{
    LinkReport report;
    report.entries = {{0xA1, LinkQuality{42, 0.0f}}, {0xB2, LinkQuality{310, 0.07f}}, {0xC3, LinkQuality{9999, 1.0f}}};
    const std::optional<LinkReport> back = readReport(report.encode());
    ASSERT_TRUE(back);
    ASSERT_EQ(back->entries.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(back->entries[i].origin, report.entries[i].origin);
        EXPECT_EQ(back->entries[i].link.roundTripMs, report.entries[i].link.roundTripMs);
        EXPECT_FLOAT_EQ(back->entries[i].link.loss, report.entries[i].link.loss);
    }
    const std::optional<LinkReport> empty = readReport(LinkReport{}.encode());
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->entries.empty());
}

TEST(LinkReports, AreWrittenWithinBounds)
{
    LinkReport report;
    report.entries = {{1, LinkQuality{70000, 2.0f}}, {2, LinkQuality{5, -1.0f}}};
    for (std::uint32_t i = 0; i < 300; ++i)
        report.entries.push_back({100 + i, LinkQuality{1, 0.0f}});
    const std::optional<LinkReport> back = readReport(report.encode());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->entries.size(), LinkReport::maxEntries) << "the rest are left out";
    EXPECT_EQ(back->entries[0].link, (LinkQuality{9999, 1.0f}));
    EXPECT_EQ(back->entries[1].link, (LinkQuality{5, 0.0f}));
}

TEST(LinkReports, OfTooManyEntriesAreRefused)
{
    std::vector<std::array<std::uint32_t, 3>> entries;
    for (std::uint32_t i = 0; i < LinkReport::maxEntries + 1; ++i)
        entries.push_back({i + 1, 20, 0});
    EXPECT_FALSE(readReport(rawReport(static_cast<std::uint16_t>(entries.size()), entries)));
    entries.pop_back();
    const std::optional<LinkReport> most = readReport(rawReport(static_cast<std::uint16_t>(entries.size()), entries));
    ASSERT_TRUE(most) << "as many as a roster holds are fine";
    EXPECT_EQ(most->entries.size(), LinkReport::maxEntries);
    EXPECT_FALSE(readReport(rawReport(65535, {{1, 20, 0}}))) << "a count the bytes do not hold";
}

TEST(LinkReports, CutShortAreRefusedWhereverTheyEnd)
{
    const kit::NetStream whole = rawReport(2, {{0xA1, 42, 0}, {0xB2, 310, 700}});
    ASSERT_TRUE(readReport(whole));
    for (std::size_t size = 0; size < whole.bytesUsed(); ++size)
        EXPECT_FALSE(LinkReport::decode(whole.data(), size)) << size << " bytes";
    EXPECT_FALSE(LinkReport::decode(nullptr, 0));
}

TEST(LinkReports, OfAnotherKindAreRefused)
{
    kit::NetStream other = rawReport(0, {});
    std::vector<std::uint8_t> bytes(other.data(), other.data() + other.bytesUsed());
    bytes[0] = 137; // a roster's identifier
    EXPECT_FALSE(LinkReport::decode(bytes.data(), bytes.size()));
}

TEST(LinkReports, BringValuesOutOfBoundsWithinThem)
{
    const std::optional<LinkReport> back =
        readReport(rawReport(3, {{1, 65535, 65535}, {2, 10000, 10001}, {3, 9999, 10000}}));
    ASSERT_TRUE(back);
    ASSERT_EQ(back->entries.size(), 3u);
    EXPECT_EQ(back->entries[0].link, (LinkQuality{9999, 1.0f}));
    EXPECT_EQ(back->entries[1].link, (LinkQuality{9999, 1.0f}));
    EXPECT_EQ(back->entries[2].link, (LinkQuality{9999, 1.0f}));
    const std::optional<LinkReport> fine = readReport(rawReport(1, {{1, 250, 500}}));
    ASSERT_TRUE(fine);
    EXPECT_EQ(fine->entries[0].link.roundTripMs, 250u);
    EXPECT_FLOAT_EQ(fine->entries[0].link.loss, 0.05f) << "hundredths of a percent";
}

TEST(LinkReports, KeepTheFirstEntryOfAnOriginNamedTwice)
{
    const std::optional<LinkReport> back = readReport(rawReport(3, {{7, 20, 0}, {8, 30, 0}, {7, 900, 5000}}));
    ASSERT_TRUE(back);
    ASSERT_EQ(back->entries.size(), 2u);
    EXPECT_EQ(back->entries[0].origin, 7u);
    EXPECT_EQ(back->entries[0].link.roundTripMs, 20u);
    EXPECT_EQ(back->entries[1].origin, 8u);
}

} // namespace
