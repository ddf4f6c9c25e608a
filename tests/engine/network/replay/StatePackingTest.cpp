// State packets taken apart and rebuilt within bounds: what a packed packet
// unpacks into is at most the transport's largest packet, and what packer
// and unpacker remember (names, records' last states) stays within its
// bounds. A packet that would take the packer past one is kept whole, and
// the packer and the unpacker stay in step; each bound is tried just inside
// and just outside.
#include "engine/network/replay/StatePacking.h"
#include "support/ReplayPackets.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using kit::EntityID;
using kit::statePacking::maxKeptBytes;
using kit::statePacking::maxKeys;
using kit::statePacking::maxNameBytes;
using kit::statePacking::maxNames;
using kit::statePacking::maxStateBits;
using test::PackedPacket;
using test::StateRecord;

constexpr std::size_t fullBits = maxStateBits; // a record of 64 KiB of state

// Packs `packet`, checks it unpacks into the very same packet, and says whether it was packed.
bool packs(kit::StatePacker& packer, kit::StateUnpacker& unpacker, const std::vector<std::uint8_t>& packet)
{
    const auto packed = packer.pack(packet);
    if (!packed)
        return false;
    std::string error;
    const auto rebuilt = unpacker.unpack(*packed, error);
    EXPECT_TRUE(rebuilt) << error;
    if (rebuilt) {
        EXPECT_EQ(*rebuilt, packet);
    }
    return true;
}

// Records of whole 64 KiB states and a last one whose length makes the packet exactly `bytes` long.
std::vector<StateRecord> recordsFilling(std::size_t bytes)
{
    std::vector<StateRecord> records;
    for (std::uint32_t i = 0; i < 15; ++i)
        records.push_back({EntityID{9, i + 1}, "transform", fullBits, 0x5A});
    records.push_back({EntityID{9, 99}, "transform", 0, 0x5A});
    const auto size = [&records] { return test::statePacketOf(9, records).size(); };
    records.back().bits = 8 * (bytes - size());
    while (size() > bytes)
        --records.back().bits;
    while (size() < bytes)
        ++records.back().bits;
    return records;
}

// The same records packed by hand, each whole, the name introduced by the first.
std::vector<std::uint8_t> packedByHand(const std::vector<StateRecord>& records)
{
    PackedPacket packed(9, static_cast<std::uint32_t>(records.size()));
    const std::string name = "transform";
    for (std::size_t i = 0; i < records.size(); ++i)
        packed.record(records[i].entity, 0, i == 0 ? &name : nullptr, static_cast<std::uint32_t>(records[i].bits),
                      test::wholeMode, records[i].fill);
    return packed.bytes;
}

// A packet of `count` records, each of a component name not seen before ("c<first>" on).
std::vector<std::uint8_t> newNames(std::size_t first, std::size_t count)
{
    std::vector<StateRecord> records;
    for (std::size_t i = first; i < first + count; ++i)
        records.push_back({EntityID{9, 1}, "c" + std::to_string(i), 8, 1});
    return test::statePacketOf(9, records);
}

// A packet of `count` records of one component, of entities not seen before (serials from `first`).
std::vector<std::uint8_t> newEntities(std::uint32_t first, std::uint32_t count, std::size_t bits = 8)
{
    std::vector<StateRecord> records;
    for (std::uint32_t i = first; i < first + count; ++i)
        records.push_back({EntityID{9, i}, "transform", bits, 1});
    return test::statePacketOf(9, records);
}

} // namespace

TEST(StatePacking, APackedPacketRebuildsIntoAtMostTheTransportsLargestPacket)
{
    // Just inside: a packet of exactly the largest size packs and rebuilds.
    const std::vector<StateRecord> largest = recordsFilling(kit::replayFile::maxRecordBytes);
    const std::vector<std::uint8_t> packet = test::statePacketOf(9, largest);
    ASSERT_EQ(packet.size(), kit::replayFile::maxRecordBytes);
    kit::StatePacker packer;
    kit::StateUnpacker unpacker;
    EXPECT_TRUE(packs(packer, unpacker, packet));
    std::string error;
    kit::StateUnpacker fresh;
    const auto rebuilt = fresh.unpack(packedByHand(largest), error);
    ASSERT_TRUE(rebuilt) << error;
    EXPECT_EQ(*rebuilt, packet);

    // Just outside: one byte more of state in its last record.
    std::vector<StateRecord> over = largest;
    over.back().bits += 8;
    ASSERT_EQ(test::statePacketOf(9, over).size(), kit::replayFile::maxRecordBytes + 1);
    kit::StateUnpacker again;
    EXPECT_FALSE(again.unpack(packedByHand(over), error));
    EXPECT_EQ(error, "a packed state packet rebuilds into more than 1048576 bytes");
    EXPECT_FALSE(packer.pack(test::statePacketOf(9, over))) << "a packet no transport carries is kept as it is";
}

TEST(StatePacking, RepeatedRecordsAreNotUnpackedIntoGigabytes)
{
    // One state of 64 KiB, then a packet repeating it 65,536 times: four
    // gigabytes if it were rebuilt. Refused as soon as it passes a packet's size.
    kit::StateUnpacker unpacker;
    const std::string name = "x";
    PackedPacket first(7, 1);
    first.record(EntityID{1, 1}, 0, &name, fullBits, test::wholeMode);
    std::string error;
    ASSERT_TRUE(unpacker.unpack(first.bytes, error)) << error;
    PackedPacket repeats(7, 65536);
    for (int i = 0; i < 65536; ++i)
        repeats.record(EntityID{1, 1}, 0, nullptr, fullBits, test::sameMode);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(unpacker.unpack(repeats.bytes, error));
    EXPECT_EQ(error, "a packed state packet rebuilds into more than 1048576 bytes");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST(StatePacking, NewNamesPastTheLimitKeepAPacketWholeAndPackerAndReaderInStep)
{
    kit::StatePacker packer;
    kit::StateUnpacker unpacker;
    for (std::size_t p = 0; p < 39; ++p)
        ASSERT_TRUE(packs(packer, unpacker, newNames(p * 100, 100))) << "packet " << p;
    // 250 new names on top of 3,900: the numbering would pass 4,096.
    EXPECT_FALSE(packer.pack(newNames(3900, 250)));
    // 196 reach 4,096 exactly; the packer forgot the 250 it did not pack.
    EXPECT_TRUE(packs(packer, unpacker, newNames(3900, 196)));
    EXPECT_FALSE(packer.pack(newNames(4096, 1))) << "one name more";
    EXPECT_TRUE(packs(packer, unpacker, newNames(4000, 96))) << "known names still pack";
}

TEST(StatePacking, TheUnpackerTakesTheLastNameAndRefusesOneMore)
{
    kit::StateUnpacker unpacker;
    std::vector<std::string> names;
    for (std::size_t i = 0; i < maxNames; ++i)
        names.push_back("c" + std::to_string(i));
    PackedPacket all(9, static_cast<std::uint32_t>(maxNames));
    for (std::size_t i = 0; i < maxNames; ++i)
        all.record(EntityID{9, 1}, static_cast<std::uint16_t>(i), &names[i], 8, test::wholeMode);
    std::string error;
    EXPECT_TRUE(unpacker.unpack(all.bytes, error)) << error;
    const std::string extra = "one more";
    PackedPacket more(9, 1);
    more.record(EntityID{9, 1}, static_cast<std::uint16_t>(maxNames), &extra, 8, test::wholeMode);
    EXPECT_FALSE(unpacker.unpack(more.bytes, error));
    EXPECT_EQ(error, "a packed state packet has a broken component name");
}

TEST(StatePacking, ANameIsAtMostItsBoundLong)
{
    kit::StatePacker packer;
    kit::StateUnpacker unpacker;
    const std::string longest(maxNameBytes, 'n'), tooLong(maxNameBytes + 1, 'n');
    EXPECT_TRUE(packs(packer, unpacker, test::statePacketOf(9, {{EntityID{9, 1}, longest, 8, 1}})));
    EXPECT_FALSE(packer.pack(test::statePacketOf(9, {{EntityID{9, 1}, tooLong, 8, 1}})));

    std::string error;
    kit::StateUnpacker fresh;
    PackedPacket inside(9, 1), outside(9, 1);
    inside.record(EntityID{9, 1}, 0, &longest, 8, test::wholeMode);
    outside.record(EntityID{9, 1}, 0, &tooLong, 8, test::wholeMode);
    EXPECT_TRUE(fresh.unpack(inside.bytes, error)) << error;
    kit::StateUnpacker other;
    EXPECT_FALSE(other.unpack(outside.bytes, error));
    EXPECT_EQ(error, "a packed state packet has a broken component name");
}

TEST(StatePacking, TheRecordsRememberedAreAtMostTheirBound)
{
    // maxKeys entity and component pairs in four packets; one more is refused.
    kit::StatePacker packer;
    kit::StateUnpacker unpacker;
    const std::uint32_t quarter = maxKeys / 4;
    for (std::uint32_t p = 0; p < 4; ++p)
        ASSERT_TRUE(packs(packer, unpacker, newEntities(1 + p * quarter, quarter))) << "packet " << p;
    EXPECT_FALSE(packer.pack(newEntities(1 + maxKeys, 1)));
    EXPECT_TRUE(packs(packer, unpacker, newEntities(1, 10))) << "the ones it knows still pack";

    PackedPacket more(9, 1);
    more.record(EntityID{9, 1 + maxKeys}, 0, nullptr, 8, test::wholeMode);
    std::string error;
    EXPECT_FALSE(unpacker.unpack(more.bytes, error));
    EXPECT_EQ(error, "a packed state packet leaves more state to remember than a replay may");
}

TEST(StatePacking, TheStateRememberedIsAtMostItsBoundInBytes)
{
    // 64 records of 64 KiB are the bound exactly, in packets of 15; one byte more is refused.
    const std::uint32_t records = maxKeptBytes / (fullBits / 8);
    ASSERT_EQ(records, 64u);
    kit::StatePacker packer;
    kit::StateUnpacker unpacker;
    for (std::uint32_t first = 1; first <= records; first += 15)
        ASSERT_TRUE(packs(packer, unpacker, newEntities(first, std::min(15u, records + 1 - first), fullBits)));
    EXPECT_FALSE(packer.pack(newEntities(records + 1, 1, 8)));

    PackedPacket more(9, 1);
    more.record(EntityID{9, records + 1}, 0, nullptr, 8, test::wholeMode);
    std::string error;
    EXPECT_FALSE(unpacker.unpack(more.bytes, error));
    EXPECT_EQ(error, "a packed state packet leaves more state to remember than a replay may");
}

TEST(StatePacking, APacketIsNeverPackedLargerThanItIs)
{
    // No records: the packed form's header is longer than the packet's.
    kit::StatePacker packer;
    const std::vector<std::uint8_t> empty = test::statePacketOf(9, {});
    EXPECT_FALSE(packer.pack(empty));
    // Its names aside: a first packet introduces them, and is packed.
    kit::StateUnpacker unpacker;
    EXPECT_TRUE(packs(packer, unpacker, newEntities(1, 3)));
}

TEST(StatePacking, TheBoundsAreTheDocumentedOnes)
{
    // Far above a match's handful of names and five records a plane (ReplayLimits.h).
    EXPECT_EQ(maxNames, 4096u);
    EXPECT_EQ(maxNameBytes, 255u);
    EXPECT_EQ(maxKeys, 16384u);
    EXPECT_EQ(maxKeptBytes, 4u * 1024 * 1024);
}

TEST(StatePacking, APacketIsPackedAtMostAsLargeAsItIsButForTheNamesItIntroduces)
{
    // One whole record after the screen "game": packed, 29 bytes and its
    // state's beside a packet of 27, its name's and its state's. A name of
    // two letters makes the two equal (packed); of one, the packed form a
    // byte longer (kept whole).
    const std::vector<std::uint8_t> even = test::statePacketOf(9, {{EntityID{9, 1}, "ab", 64, 1}});
    kit::StatePacker packer;
    const auto packed = packer.pack(even);
    ASSERT_TRUE(packed);
    EXPECT_EQ(packed->size() - (2 + 2), even.size());
    kit::StatePacker fresh;
    EXPECT_FALSE(fresh.pack(test::statePacketOf(9, {{EntityID{9, 1}, "a", 64, 1}})));
}

TEST(StatePacking, APackedPacketIsAtMostTheLargestRecordWithTheNamesItIntroduces)
{
    // Sixteen records, each introducing a name of 255 letters: packed, a
    // little longer than the packet. The last record's state is sized so
    // that the packed form is just the largest record, then a byte more.
    std::vector<StateRecord> records;
    for (std::uint32_t i = 0; i < 16; ++i)
        records.push_back({EntityID{9, i + 1}, std::string(maxNameBytes, static_cast<char>('a' + i)), fullBits, 1});
    const auto packedSize = [&records] {
        PackedPacket packed(9, static_cast<std::uint32_t>(records.size()));
        for (std::uint16_t i = 0; i < records.size(); ++i)
            packed.record(records[i].entity, i, &records[i].name, static_cast<std::uint32_t>(records[i].bits),
                          test::wholeMode, 1);
        return packed.bytes.size();
    };
    records.back().bits = 0;
    records.back().bits = 8 * (kit::replayFile::maxRecordBytes - packedSize());
    ASSERT_EQ(packedSize(), kit::replayFile::maxRecordBytes);
    ASSERT_LE(test::statePacketOf(9, records).size(), kit::replayFile::maxRecordBytes);
    kit::StatePacker packer;
    kit::StateUnpacker unpacker;
    EXPECT_TRUE(packs(packer, unpacker, test::statePacketOf(9, records)));
    records.back().bits += 8;
    ASSERT_LE(test::statePacketOf(9, records).size(), kit::replayFile::maxRecordBytes);
    kit::StatePacker fresh;
    EXPECT_FALSE(fresh.pack(test::statePacketOf(9, records)));
}
