// The bounds a replay file is read within, whoever wrote it: records per
// second and per file, the bytes they declare and take unpacked, nothing
// after them, and the window their compression asks for.
#include "ReplaySamples.h"
#include "engine/network/replay/ReplayFile.h"

#include "engine/network/replay/StatePacking.h"
#include "engine/network/stream/NetStream.h"
#include "support/ReplayPackets.h"

#include <gtest/gtest.h>

#include <cstring>

using kit::Replay;
using kit::ReplayRecord;
using test::bodySizesAt;
using test::decode;
using test::expectSame;
using test::headerLengthAt;
using test::putU32At;
using test::sample;

namespace {

// A replay of `records`, its length long enough for all of them.
std::vector<std::uint8_t> fileOf(std::vector<ReplayRecord> records)
{
    Replay r;
    r.header.recordedAt = "2026-12-07 23:59:01";
    r.header.seconds = records.empty() ? 0.0f : static_cast<float>(records.back().milliseconds) / 1000.0f;
    r.records = std::move(records);
    return kit::encodeReplay(r);
}

// `perSecond` call batches in each of `seconds` seconds, spread over it.
std::vector<ReplayRecord> callsOver(std::size_t seconds, std::size_t perSecond)
{
    std::vector<ReplayRecord> records;
    records.reserve(seconds * perSecond);
    for (std::size_t s = 0; s < seconds; ++s) {
        for (std::size_t i = 0; i < perSecond; ++i)
            records.push_back(test::callRecord(static_cast<std::uint32_t>(s * 1000 + i * 1000 / perSecond)));
    }
    return records;
}

void expectRefusedInOneLine(const std::vector<std::uint8_t>& file, const std::string& part)
{
    std::string error;
    EXPECT_FALSE(decode(file, error));
    EXPECT_NE(error.find(part), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
}

} // namespace

TEST(ReplayFile, AFileOfRepeatedStateIsRefusedNotUnpackedIntoGigabytes)
{
    // A state of 64 KiB, then twice 65,536 records "the same as last time":
    // a file of a few hundred bytes that would unpack into eight gigabytes.
    const std::string name = "x";
    test::PackedPacket first(7, 1);
    first.record(kit::EntityID{1, 1}, 0, &name, 8 * 65536, test::wholeMode);
    test::PackedPacket repeats(7, 65536);
    for (int i = 0; i < 65536; ++i)
        repeats.record(kit::EntityID{1, 1}, 0, nullptr, 8 * 65536, test::sameMode);
    const std::vector<std::uint8_t> file =
        fileOf({test::packedRecord(0, first.bytes), test::packedRecord(0, repeats.bytes),
                test::packedRecord(0, repeats.bytes)});
    EXPECT_LT(file.size(), 2048u);
    expectRefusedInOneLine(file, "replay record 2: a packed state packet rebuilds into more than 1048576 bytes");
}

TEST(ReplayFile, EmptyRecordsAreRefused)
{
    // A recorder never keeps an empty packet: millions of them in a few
    // kilobytes would be millions of records handed to a network at once.
    std::vector<ReplayRecord> records = callsOver(1, 10);
    records[5].bytes.clear();
    expectRefusedInOneLine(fileOf(records), "replay record 6 is empty");
}

TEST(ReplayFile, ASecondHoldsAtMostItsBoundOfRecords)
{
    using kit::replayFile::maxRecordsPerSecond;
    std::string error;
    const std::optional<Replay> full = decode(fileOf(callsOver(2, maxRecordsPerSecond)), error);
    ASSERT_TRUE(full) << error;
    EXPECT_EQ(full->records.size(), 2 * maxRecordsPerSecond);

    std::vector<ReplayRecord> crowded = callsOver(2, maxRecordsPerSecond);
    crowded.insert(crowded.begin() + maxRecordsPerSecond, test::callRecord(999));
    expectRefusedInOneLine(fileOf(crowded),
                           "replay record 4097 is one more than the 4096 a second of a replay may hold");
}

TEST(ReplayFile, AFileHoldsAtMostItsBoundOfRecords)
{
    using kit::replayFile::maxRecords;
    using kit::replayFile::maxRecordsPerSecond;
    const std::size_t seconds = maxRecords / maxRecordsPerSecond;
    std::vector<ReplayRecord> records = callsOver(seconds, maxRecordsPerSecond);
    ASSERT_EQ(records.size(), maxRecords);
    std::string error;
    std::optional<Replay> read = decode(fileOf(records), error);
    ASSERT_TRUE(read) << error;
    EXPECT_EQ(read->records.size(), maxRecords);
    read.reset();

    records.push_back(test::callRecord(static_cast<std::uint32_t>(seconds * 1000)));
    expectRefusedInOneLine(fileOf(std::move(records)), "replay record 1048577 is beyond the 1048576 records");
}

TEST(ReplayFile, TheStoredRecordsDeclareAtMostTheirBoundOfBytes)
{
    const std::vector<std::uint8_t> good = kit::encodeReplay(sample());
    const std::size_t sizes = bodySizesAt(good);
    std::vector<std::uint8_t> bad = good;
    putU32At(bad, sizes, static_cast<std::uint32_t>(kit::replayFile::maxStoredBodyBytes));
    expectRefusedInOneLine(bad, "do not match their size"); // past the bound's check
    putU32At(bad, sizes, static_cast<std::uint32_t>(kit::replayFile::maxStoredBodyBytes + 1));
    expectRefusedInOneLine(bad, std::to_string(kit::replayFile::maxStoredBodyBytes + 1) + " bytes of records");
}

TEST(ReplayFile, NothingFollowsTheCompressedRecords)
{
    std::vector<std::uint8_t> longer = kit::encodeReplay(sample());
    const std::size_t sizes = bodySizesAt(longer);
    std::uint32_t packed = 0;
    std::memcpy(&packed, longer.data() + sizes + 4, 4);
    longer.push_back(0);
    putU32At(longer, sizes + 4, packed + 1);
    expectRefusedInOneLine(longer, "bytes follow its compressed records");
}

TEST(ReplayFile, AStoredRecordIsAtMostTheLargestPacket)
{
    std::string error;
    const std::optional<Replay> largest = decode(fileOf({test::callRecord(0, kit::replayFile::maxRecordBytes)}), error);
    ASSERT_TRUE(largest) << error;
    EXPECT_EQ(largest->records.front().bytes.size(), kit::replayFile::maxRecordBytes);
    expectRefusedInOneLine(fileOf({test::callRecord(0, kit::replayFile::maxRecordBytes + 1)}),
                           "corrupt replay: replay record 1 claims 1048577 bytes");
}

namespace {

// A replay whose records come in a zstd frame written by hand, in raw blocks,
// that asks for a window of 2^windowLog bytes: two call batches of 100,000
// bytes, more than the first piece of the file the reader takes, so that the
// decoder needs a window (a frame it can decode in one go needs none).
std::vector<std::uint8_t> fileWithWindow(int windowLog)
{
    std::vector<std::uint8_t> body;
    for (int r = 0; r < 2; ++r) {
        const std::vector<std::uint8_t> head{1, 0, 0, 0, 0, 0xA0, 0x86, 0x01, 0}; // calls, 0 ms, 100,000 bytes
        body.insert(body.end(), head.begin(), head.end());
        body.push_back(136);
        body.insert(body.end(), 99999, 0);
    }
    std::vector<std::uint8_t> frame{0x28, 0xB5, 0x2F, 0xFD, 0x80, static_cast<std::uint8_t>((windowLog - 10) << 3)};
    for (int i = 0; i < 4; ++i)
        frame.push_back(static_cast<std::uint8_t>(body.size() >> (8 * i))); // the content's size
    for (std::size_t at = 0; at < body.size(); at += 128 * 1024) {
        const std::size_t size = std::min<std::size_t>(128 * 1024, body.size() - at);
        const auto block = static_cast<std::uint32_t>(size << 3 | (at + size == body.size() ? 1 : 0)); // raw
        for (int i = 0; i < 3; ++i)
            frame.push_back(static_cast<std::uint8_t>(block >> (8 * i)));
        frame.insert(frame.end(), body.begin() + static_cast<std::ptrdiff_t>(at),
                     body.begin() + static_cast<std::ptrdiff_t>(at + size));
    }
    Replay empty;
    empty.header.seconds = 1.0f;
    std::vector<std::uint8_t> file = kit::encodeReplay(empty);
    file.resize(file.size() - 8); // the sizes of no records
    for (const std::size_t size : {body.size(), frame.size()}) {
        for (int i = 0; i < 4; ++i)
            file.push_back(static_cast<std::uint8_t>(size >> (8 * i)));
    }
    file.insert(file.end(), frame.begin(), frame.end());
    return file;
}

} // namespace

TEST(ReplayFile, TheCompressedRecordsAskForAWindowOfAtMost16MiB)
{
    std::string error;
    const std::optional<Replay> read = decode(fileWithWindow(24), error);
    ASSERT_TRUE(read) << error;
    ASSERT_EQ(read->records.size(), 2u);
    EXPECT_EQ(read->records.back().bytes.size(), 100000u);
    expectRefusedInOneLine(fileWithWindow(25), "its compressed records do not decode");
}
