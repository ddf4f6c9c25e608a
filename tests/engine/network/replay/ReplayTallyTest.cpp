// The bounds of a replay as its recorder and its reader both count them,
// each just inside and just outside; and a record's bound is the transport's
// own largest packet.
#include "engine/network/replay/ReplayTally.h"
#include "engine/network/MessageIdentifiers.h"
#include "engine/network/NetPeer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using kit::ReplayTally;
using Verdict = kit::ReplayTally::Verdict;
using kit::replayFile::maxBodyBytes;
using kit::replayFile::maxRecordBytes;
using kit::replayFile::maxRecords;
using kit::replayFile::maxRecordsPerSecond;
using kit::replayFile::maxStoredBodyBytes;

} // namespace

TEST(ReplayTally, ARecordIsOneByteToTheTransportsLargestPacket)
{
    ReplayTally tally;
    EXPECT_EQ(tally.admit(0, 0), Verdict::badSize);
    EXPECT_EQ(tally.admit(0, 1), Verdict::fits);
    EXPECT_EQ(tally.admit(0, maxRecordBytes + 1), Verdict::badSize);
    EXPECT_EQ(tally.admit(0, maxRecordBytes), Verdict::fits);
    EXPECT_EQ(tally.records(), 2u);
    EXPECT_EQ(tally.bytes(), 1 + maxRecordBytes + 2 * ReplayTally::recordOverhead);
}

TEST(ReplayTally, ASecondHoldsItsBoundOfRecordsAndTheNextStartsAgain)
{
    ReplayTally tally;
    for (std::size_t i = 0; i < maxRecordsPerSecond; ++i)
        ASSERT_EQ(tally.admit(static_cast<std::uint32_t>(1000 + i % 1000), 1), Verdict::fits) << i;
    EXPECT_EQ(tally.admit(1999, 1), Verdict::busySecond);
    EXPECT_EQ(tally.records(), maxRecordsPerSecond) << "one refused is not counted";
    EXPECT_EQ(tally.admit(2000, 1), Verdict::fits);
}

TEST(ReplayTally, AFileHoldsItsBoundOfRecords)
{
    ReplayTally tally;
    for (std::size_t i = 0; i < maxRecords; ++i)
        ASSERT_EQ(tally.admit(static_cast<std::uint32_t>(i / maxRecordsPerSecond * 1000), 1), Verdict::fits) << i;
    EXPECT_EQ(tally.admit(static_cast<std::uint32_t>(maxRecords / maxRecordsPerSecond * 1000), 1), Verdict::full);
    EXPECT_EQ(tally.records(), maxRecords);
}

TEST(ReplayTally, AFileHoldsItsBoundOfBytes)
{
    // Records of the largest size, one a second, then one that reaches the bound exactly.
    ReplayTally tally;
    const std::size_t each = maxRecordBytes + ReplayTally::recordOverhead;
    const std::size_t whole = maxBodyBytes / each;
    std::uint32_t second = 0;
    for (std::size_t i = 0; i < whole; ++i, second += 1000)
        ASSERT_EQ(tally.admit(second, maxRecordBytes), Verdict::fits) << i;
    const std::size_t last = maxBodyBytes - tally.bytes() - ReplayTally::recordOverhead;
    EXPECT_EQ(tally.admit(second, last + 1), Verdict::full);
    EXPECT_EQ(tally.admit(second, last), Verdict::fits);
    EXPECT_EQ(tally.bytes(), maxBodyBytes);
    EXPECT_EQ(tally.admit(second + 1000, 1), Verdict::full);
}

TEST(ReplayTally, TheBoundsAreTheDocumentedOnes)
{
    // Derived in ReplayLimits.h from what a session records; docs/formats.md gives the memory they cost.
    EXPECT_EQ(maxRecordsPerSecond, 4096u);
    EXPECT_EQ(maxRecords, 1048576u);
    EXPECT_EQ(maxBodyBytes, 536870912u);
    EXPECT_EQ(maxStoredBodyBytes, maxBodyBytes + 4096u * 257u);
}

// A connection on loopback (the suite runs in a private network namespace):
// the transport takes a packet of a record's largest size and not a byte more.
TEST(ReplayTally, TheLargestRecordIsTheTransportsLargestPacket)
{
    kit::NetPeer server, client;
    ASSERT_TRUE(server.start(0, 1));
    server.setMaximumIncomingConnections(1);
    ASSERT_TRUE(client.start(0, 1));
    ASSERT_TRUE(client.connect("127.0.0.1", server.boundPort()));
    std::optional<kit::NetAddress> host;
    kit::NetPeer::Packet packet;
    for (int i = 0; i < 3000 && !host; ++i) {
        while (server.receive(packet)) {
        }
        while (client.receive(packet)) {
            if (packet.id() == kit::message::connectionRequestAccepted)
                host = packet.sender;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_TRUE(host) << "no connection on loopback";
    const std::vector<std::uint8_t> largest(maxRecordBytes + 1, 136);
    EXPECT_TRUE(client.send(largest.data(), maxRecordBytes, kit::NetPeer::Reliability::reliableOrdered, 1, *host));
    EXPECT_FALSE(client.send(largest.data(), maxRecordBytes + 1, kit::NetPeer::Reliability::reliableOrdered, 1, *host));
}
