// The replay file: what is written reads back exactly, state packets taken
// apart and rebuilt bit for bit, and a file from anywhere refused with one
// line whatever is wrong with it.
#include "engine/network/replay/ReplayFile.h"
#include "ReplaySamples.h"

#include "engine/network/replay/ReplaySource.h"
#include "engine/network/replay/StatePacking.h"
#include "engine/network/stream/NetStream.h"
#include "support/ReplayPackets.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <span>

using kit::Replay;
using kit::ReplayRecord;
using test::bodySizesAt;
using test::callBatch;
using test::decode;
using test::expectSame;
using test::headerLengthAt;
using test::putU32At;
using test::sample;
using test::statePacket;

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

    for (const auto& [packed, original] :
         {std::pair{*packedFirst, first}, {*packedSame, first}, {*packedMoved, moved}}) {
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
    Replay timeless = sample();
    timeless.header.seconds = std::numeric_limits<float>::quiet_NaN();
    EXPECT_FALSE(decode(kit::encodeReplay(timeless), error));
    EXPECT_NE(error.find("length"), std::string::npos) << error;
    Replay colourless = sample();
    ASSERT_FALSE(colourless.header.players.empty());
    colourless.header.players.back().colour.y = std::numeric_limits<float>::quiet_NaN();
    EXPECT_FALSE(decode(kit::encodeReplay(colourless), error));
    EXPECT_NE(error.find("colour"), std::string::npos) << error;

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
