// The replay file: what is written reads back exactly, state packets taken
// apart and rebuilt bit for bit, and a file from anywhere refused with one
// line whatever is wrong with it.
#include "engine/network/replay/ReplayFile.h"
#include "engine/network/replay/ReplaySource.h"
#include "engine/network/replay/StatePacking.h"
#include "engine/network/stream/NetStream.h"
#include "support/ReplayPackets.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

namespace {

using kit::Replay;
using kit::ReplayRecord;

// A StateUpdate packet as a copy sends it: per entity a component "transform"
// with three floats and a "score" with one integer.
std::vector<std::uint8_t> statePacket(std::uint32_t sender, float x, std::int32_t points, int entities = 3)
{
    kit::NetStream out;
    out.write(std::uint8_t{135});
    out.write(sender);
    out.write(std::string("game"));
    for (int e = 0; e < entities; ++e) {
        const kit::EntityID id{sender, static_cast<std::uint32_t>(e + 1)};
        for (const char* type : {"transform", "score"}) {
            out.write(true);
            out.write(id);
            out.write(std::string(type));
            kit::NetStream state;
            if (std::strcmp(type, "transform") == 0) {
                state.write(true); // a flag ahead of the floats: the state is not byte-aligned
                state.write(glm::vec3(x + static_cast<float>(e), 2.0f, -3.5f));
            } else {
                state.write(points);
            }
            out.write(state);
        }
    }
    out.write(false);
    return {out.data(), out.data() + out.bytesUsed()};
}

std::vector<std::uint8_t> callBatch(const std::string& name)
{
    kit::NetStream out;
    out.write(std::uint8_t{136});
    out.write(name);
    kit::NetStream arguments;
    arguments.write(kit::EntityID{7, 9});
    out.write(arguments);
    out.write(std::uint8_t{0});
    return {out.data(), out.data() + out.bytesUsed()};
}

Replay sample()
{
    Replay r;
    r.header.recordedAt = "2026-12-07 23:59:01";
    r.header.seconds = 12.5f;
    r.header.localOrigin = 0xA1B2C3D4;
    r.header.players = {{"Blue", glm::vec3(0.3f, 0.6f, 0.8f), 4}, {"Pink", glm::vec3(0.8f, 0.4f, 0.5f), -1}};
    r.header.winner = "Blue";
    r.header.settings = {{"tuning.gameWorld.matchLength", "12.5"}};
    r.records.push_back({ReplayRecord::Kind::calls, 0, callBatch("startGameplay")});
    for (int tick = 0; tick < 40; ++tick) {
        const auto ms = static_cast<std::uint32_t>(tick * 66);
        r.records.push_back({ReplayRecord::Kind::state, ms, statePacket(0xA1B2C3D4, 0.1f * static_cast<float>(tick), tick / 10)});
        r.records.push_back({ReplayRecord::Kind::state, ms, statePacket(0x00000042, 5.0f, 0, 1 + tick % 3)});
        if (tick % 7 == 0)
            r.records.push_back({ReplayRecord::Kind::calls, ms + 5, callBatch("spawnBullet")});
    }
    // A packet that does not rebuild exactly (a stray byte after its end) is kept whole.
    std::vector<std::uint8_t> odd = statePacket(0x00000042, 1.0f, 0);
    odd.push_back(0x5A);
    r.records.push_back({ReplayRecord::Kind::state, 2700, odd});
    return r;
}

void expectSame(const Replay& a, const Replay& b)
{
    EXPECT_EQ(a.header.recordedAt, b.header.recordedAt);
    EXPECT_EQ(a.header.seconds, b.header.seconds);
    EXPECT_EQ(a.header.localOrigin, b.header.localOrigin);
    ASSERT_EQ(a.header.players.size(), b.header.players.size());
    for (std::size_t i = 0; i < a.header.players.size(); ++i) {
        EXPECT_EQ(a.header.players[i].name, b.header.players[i].name);
        EXPECT_EQ(a.header.players[i].colour, b.header.players[i].colour);
        EXPECT_EQ(a.header.players[i].score, b.header.players[i].score);
    }
    EXPECT_EQ(a.header.winner, b.header.winner);
    EXPECT_EQ(a.header.settings, b.header.settings);
    ASSERT_EQ(a.records.size(), b.records.size());
    for (std::size_t i = 0; i < a.records.size(); ++i) {
        EXPECT_EQ(a.records[i].kind, b.records[i].kind) << "record " << i;
        EXPECT_EQ(a.records[i].milliseconds, b.records[i].milliseconds) << "record " << i;
        EXPECT_EQ(a.records[i].bytes, b.records[i].bytes) << "record " << i;
    }
}

std::optional<Replay> decode(const std::vector<std::uint8_t>& bytes, std::string& error, bool headerOnly = false)
{
    return kit::decodeReplay(bytes, error, headerOnly);
}

void putU32At(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

// Where the header's length and the body's sizes lie in an encoded file.
constexpr std::size_t headerLengthAt = 12;
std::size_t bodySizesAt(const std::vector<std::uint8_t>& bytes)
{
    std::uint32_t header = 0;
    std::memcpy(&header, bytes.data() + headerLengthAt, 4); // little-endian on this machine, as written
    return headerLengthAt + 4 + header;
}

} // namespace

TEST(ReplayFile, AReplayReadsBackExactlyAndItsStateTakesLessRoom)
{
    const Replay written = sample();
    const std::vector<std::uint8_t> bytes = kit::encodeReplay(written);
    std::string error;
    const std::optional<Replay> read = decode(bytes, error);
    ASSERT_TRUE(read) << error;
    expectSame(written, *read);

    std::size_t raw = 0;
    for (const auto& r : written.records)
        raw += r.bytes.size();
    EXPECT_LT(bytes.size() * 4, raw) << "repeated state must cost little";

    const std::optional<Replay> header = decode(bytes, error, true);
    ASSERT_TRUE(header) << error;
    EXPECT_EQ(header->header.winner, "Blue");
    EXPECT_TRUE(header->records.empty());
}

TEST(ReplayFile, AnEmptyRecordingAndEmptyTextsReadBack)
{
    Replay empty;
    std::string error;
    const std::optional<Replay> read = decode(kit::encodeReplay(empty), error);
    ASSERT_TRUE(read) << error;
    expectSame(empty, *read);
}

TEST(ReplayFile, StatePacketsAreTakenApartIntoUnchangedAndChangedRecords)
{
    kit::StatePacker packer;
    kit::StateUnpacker unpacker;
    std::string error;
    const auto first = statePacket(5, 1.0f, 3);
    const auto packedFirst = packer.pack(first);
    ASSERT_TRUE(packedFirst);
    const auto packedSame = packer.pack(first);
    ASSERT_TRUE(packedSame);
    // Six records, each unchanged: entity, name number, bit count and one byte.
    EXPECT_EQ(packedSame->size(), 4u + 2u + 4u + 4u + 6u * (8u + 2u + 4u + 1u));
    const auto moved = statePacket(5, 1.5f, 3);
    const auto packedMoved = packer.pack(moved);
    ASSERT_TRUE(packedMoved);
    EXPECT_GT(packedMoved->size(), packedSame->size());

    for (const auto& [packed, original] : {std::pair{*packedFirst, first}, {*packedSame, first}, {*packedMoved, moved}}) {
        const auto rebuilt = unpacker.unpack(packed, error);
        ASSERT_TRUE(rebuilt) << error;
        EXPECT_EQ(*rebuilt, original);
    }
    // A change to a record the reader never had is refused, not guessed at.
    kit::StateUnpacker fresh;
    EXPECT_FALSE(fresh.unpack(*packedSame, error));
    EXPECT_NE(error.find("packed state"), std::string::npos) << error;
    // Not a state packet at all: kept whole.
    EXPECT_FALSE(packer.pack(callBatch("x")));
    EXPECT_FALSE(packer.pack(std::vector<std::uint8_t>{}));
}

TEST(ReplayFile, WrongMagicVersionAndEveryTruncationAreRefusedWithOneLine)
{
    const std::vector<std::uint8_t> good = kit::encodeReplay(sample());
    std::string error;

    std::vector<std::uint8_t> bad = good;
    bad[0] = 'X';
    EXPECT_FALSE(decode(bad, error));
    EXPECT_EQ(error, "not a replay: it does not start with \"SKYRPLAY\"");

    bad = good;
    putU32At(bad, 8, 2);
    EXPECT_FALSE(decode(bad, error));
    EXPECT_EQ(error, "replay version 2 is not one this game reads (version 1)");

    // Cut anywhere, a file is refused; cut after its header, its header still lists.
    const std::size_t headerEnd = bodySizesAt(good);
    for (std::size_t length = 0; length < good.size(); ++length) {
        const std::vector<std::uint8_t> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(length));
        error.clear();
        EXPECT_FALSE(decode(cut, error)) << "cut at " << length;
        EXPECT_FALSE(error.empty()) << "cut at " << length;
        EXPECT_EQ(error.find('\n'), std::string::npos);
        EXPECT_EQ(static_cast<bool>(decode(cut, error, true)), length >= headerEnd) << "cut at " << length;
    }
}

TEST(ReplayFile, AbsurdSizesAndCorruptDataAreRefusedBeforeAnythingIsAllocated)
{
    const std::vector<std::uint8_t> good = kit::encodeReplay(sample());
    const std::size_t sizes = bodySizesAt(good);
    std::string error;

    std::vector<std::uint8_t> bad = good;
    putU32At(bad, headerLengthAt, 0xFFFFFFF0u);
    EXPECT_FALSE(decode(bad, error));
    EXPECT_NE(error.find("header"), std::string::npos) << error;

    bad = good;
    putU32At(bad, sizes, 0xFFFFFFF0u); // four gigabytes of records claimed
    EXPECT_FALSE(decode(bad, error));
    EXPECT_NE(error.find("bytes of records"), std::string::npos) << error;

    bad = good;
    putU32At(bad, sizes, 1000); // a size the compressed frame does not have
    EXPECT_FALSE(decode(bad, error));
    EXPECT_NE(error.find("do not match"), std::string::npos) << error;

    bad = good;
    for (std::size_t i = sizes + 20; i < bad.size(); i += 7)
        bad[i] ^= 0x55; // the compressed frame damaged past its sizes
    EXPECT_FALSE(decode(bad, error));
    EXPECT_NE(error.find("corrupt replay"), std::string::npos) << error;

    // A header listing a thousand players.
    Replay crowd = sample();
    crowd.header.players.resize(kit::replayFile::maxPlayers + 1);
    EXPECT_FALSE(decode(kit::encodeReplay(crowd), error));
    EXPECT_NE(error.find("players"), std::string::npos) << error;

    Replay endless = sample();
    endless.header.seconds = std::numeric_limits<float>::infinity();
    EXPECT_FALSE(decode(kit::encodeReplay(endless), error));

    // Records out of time order, and a record of a kind nobody wrote.
    Replay backwards = sample();
    backwards.records.back().milliseconds = 1;
    EXPECT_FALSE(decode(kit::encodeReplay(backwards), error));
    EXPECT_NE(error.find("time order"), std::string::npos) << error;
    // The last record (at 2.7 s) may come up to a second after the length, no later.
    Replay shortened = sample();
    shortened.header.seconds = 1.75f;
    EXPECT_TRUE(decode(kit::encodeReplay(shortened), error)) << error;
    shortened.header.seconds = 1.65f;
    EXPECT_FALSE(decode(kit::encodeReplay(shortened), error));
    EXPECT_NE(error.find("replay record 88 is out of time order"), std::string::npos) << error;
    Replay strange = sample();
    strange.records.front().kind = static_cast<ReplayRecord::Kind>(9);
    EXPECT_FALSE(decode(kit::encodeReplay(strange), error));
    EXPECT_NE(error.find("unknown kind 9"), std::string::npos) << error;
}

class ReplayFiles : public test::InTempDirectory {};

TEST_F(ReplayFiles, BothSourcesReadUpToTheirEndAndNoFurther)
{
    const std::vector<std::uint8_t> bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    std::ofstream("ten.bin", std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), 10);
    kit::ReplayBytes memory(std::span<const std::uint8_t>(bytes).first(7)); // the rest lies beyond it
    kit::ReplayFileSource file("ten.bin");
    ASSERT_TRUE(file.isOpen());
    for (kit::ReplaySource* source : std::initializer_list<kit::ReplaySource*>{&memory, &file}) {
        const std::size_t size = source->left();
        std::vector<std::uint8_t> got(16, 0xEE);
        EXPECT_EQ(source->read(got.data(), 4), 4u);
        EXPECT_FALSE(source->readExactly(got.data() + 4, size)) << "more than is left: nothing read";
        EXPECT_EQ(source->left(), size - 4);
        EXPECT_EQ(source->read(got.data() + 4, 12), size - 4);
        EXPECT_EQ(source->left(), 0u);
        EXPECT_EQ(source->read(got.data() + size, 12), 0u);
        EXPECT_EQ(std::vector<std::uint8_t>(got.begin(), got.begin() + static_cast<std::ptrdiff_t>(size)),
                  std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size)));
        EXPECT_EQ(got[size], 0xEE) << "nothing copied past the end";
    }
    EXPECT_FALSE(kit::ReplayFileSource("missing.bin").isOpen());
}

TEST_F(ReplayFiles, WrittenWholeOrNotAtAllAndReadWithTheFileNamed)
{
    std::string error;
    ASSERT_TRUE(kit::writeReplayFile("match.replay", sample(), error)) << error;
    EXPECT_FALSE(std::filesystem::exists("match.replay.part"));
    const std::optional<Replay> read = kit::readReplayFile("match.replay", error);
    ASSERT_TRUE(read) << error;
    expectSame(sample(), *read);
    EXPECT_TRUE(kit::readReplayFile("match.replay", error, true));

    EXPECT_FALSE(kit::writeReplayFile("no/such/directory/x.replay", sample(), error));
    EXPECT_NE(error.find("no/such/directory/x.replay"), std::string::npos) << error;

    std::ofstream("junk.replay") << "SKYRPLAY";
    EXPECT_FALSE(kit::readReplayFile("junk.replay", error));
    EXPECT_EQ(error.rfind("junk.replay: ", 0), 0u) << error;
    EXPECT_FALSE(kit::readReplayFile("missing.replay", error));
    EXPECT_EQ(error, "cannot open missing.replay");
}

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

TEST_F(ReplayFiles, EachWriteHasATemporaryFileOfItsOwn)
{
    // Another copy's write under way: its temporary file is not this one's.
    std::filesystem::create_directory("match.replay.part");
    std::string error;
    ASSERT_TRUE(kit::writeReplayFile("match.replay", sample(), error)) << error;
    EXPECT_TRUE(kit::readReplayFile("match.replay", error)) << error;
    std::filesystem::remove("match.replay.part");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), 2) << "the replay and assets/ alone";

    // Kept where asked: the name is taken, the file as it was.
    Replay other = sample();
    other.header.winner = "Pink";
    EXPECT_FALSE(kit::writeReplayFile("match.replay", other, error, false));
    const std::optional<Replay> read = kit::readReplayFile("match.replay", error);
    ASSERT_TRUE(read) << error;
    EXPECT_EQ(read->header.winner, "Blue");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), 2) << "no temporary file left";
    EXPECT_TRUE(kit::writeReplayFile("match.replay", other, error)) << error;
    EXPECT_EQ(kit::readReplayFile("match.replay", error)->header.winner, "Pink");
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
