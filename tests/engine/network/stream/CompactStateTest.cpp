// Packed state packets: what a full state packet becomes on the wire and
// back, how close each kind of field comes back, what travels exactly, and
// what a broken or hostile packed packet does (nothing but refuse).
#include "engine/network/stream/CompactState.h"
#include "engine/network/stream/NetStream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

namespace packed = kit::compactState;
using packed::Field;

namespace {

constexpr std::uint8_t fullId = 135;

// A layout of every kind of field, under an index no other test or type uses.
const packed::Registration everyKind{14,
                                     {"everyKind",
                                      {Field::real(128.0f, 17), Field::real(256.0f, 12, 1.0f), Field::flag(),
                                       Field::count(), Field::signedInt(), Field::rotation()}}};

struct EveryKind {
    float position = 0.0f;
    float scale = 1.0f;
    bool on = false;
    std::uint32_t count = 0;
    std::int32_t signedValue = 0;
    glm::quat turn{1.0f, 0.0f, 0.0f, 0.0f};

    [[nodiscard]] kit::NetStream state() const
    {
        kit::NetStream s;
        s.write(position);
        s.write(scale);
        s.write(on);
        s.write(count);
        s.write(signedValue);
        s.write(turn);
        return s;
    }
    static EveryKind from(kit::NetStream s)
    {
        EveryKind k;
        EXPECT_TRUE(s.read(k.position) && s.read(k.scale) && s.read(k.on) && s.read(k.count) && s.read(k.signedValue) &&
                    s.read(k.turn));
        EXPECT_EQ(s.bitsLeft(), 0u);
        return k;
    }
};

struct Record {
    kit::EntityID entity;
    std::string type;
    kit::NetStream state;
};

std::vector<std::uint8_t> fullPacket(std::uint32_t origin, const std::string& screen,
                                     const std::vector<Record>& records)
{
    kit::NetStream p;
    p.write(fullId);
    p.write(origin);
    p.write(screen);
    for (const Record& r : records) {
        p.write(true);
        p.write(r.entity);
        p.write(r.type);
        p.write(r.state);
    }
    p.write(false);
    return {p.data(), p.data() + p.bytesUsed()};
}

struct Read {
    std::uint32_t origin = 0;
    std::string screen;
    std::vector<Record> records;
};

Read readFull(const std::vector<std::uint8_t>& bytes)
{
    kit::NetStream in(bytes.data(), bytes.size());
    Read r;
    std::uint8_t id = 0;
    EXPECT_TRUE(in.read(id));
    EXPECT_EQ(id, fullId);
    in.read(r.origin);
    in.read(r.screen);
    bool more = false;
    while (in.read(more) && more) {
        Record rec;
        in.read(rec.entity);
        in.read(rec.type);
        in.read(rec.state);
        r.records.push_back(std::move(rec));
    }
    return r;
}

// Packs and unpacks; the full form that comes back.
Read roundTrip(const std::vector<std::uint8_t>& full, std::size_t* packedBytes = nullptr)
{
    const auto wire = packed::pack(full.data(), full.size());
    EXPECT_TRUE(wire.has_value());
    if (!wire)
        return {};
    EXPECT_EQ((*wire)[0], packed::id);
    if (packedBytes)
        *packedBytes = wire->size();
    const auto back = packed::unpack(wire->data(), wire->size(), 256);
    EXPECT_TRUE(back.has_value());
    return back ? readFull(*back) : Read{};
}

// One record of every kind, of entity 1 of copy 1, packed and unpacked: what
// comes back, if it comes back as one record.
std::optional<EveryKind> alone(const EveryKind& k)
{
    const Read back = roundTrip(fullPacket(1, "", {{{1, 1}, "everyKind", k.state()}}));
    EXPECT_EQ(back.records.size(), 1u);
    if (back.records.size() != 1)
        return std::nullopt;
    return EveryKind::from(back.records[0].state);
}

// A packed packet of origin 9 and no screen name, its records written bit by
// bit: each pair a value and its width, most significant bit first.
std::vector<std::uint8_t> packedBits(std::initializer_list<std::pair<std::uint64_t, unsigned>> fields)
{
    kit::NetStream s;
    s.write(packed::id);
    s.write(std::uint32_t{9});
    s.write(std::uint8_t{0});
    for (const auto& [value, bits] : fields)
        for (unsigned i = bits; i-- > 0;)
            s.write(((value >> i) & 1) != 0);
    return {s.data(), s.data() + s.bytesUsed()};
}

float angleBetween(const glm::quat& a, const glm::quat& b)
{
    const float d = std::fabs(glm::dot(glm::normalize(a), glm::normalize(b)));
    return 2.0f * std::acos(std::min(d, 1.0f));
}

} // namespace

TEST(CompactState, ARegisteredLayoutComesBackWithinHalfAStep)
{
    EveryKind k;
    k.position = -123.4567f;
    k.scale = 1.5f;
    k.on = true;
    k.count = 300;
    k.signedValue = -7;
    k.turn = glm::normalize(glm::quat(0.8f, 0.3f, -0.4f, 0.2f));
    const Read back = roundTrip(fullPacket(0xA, "match", {{{0xA, 3}, "everyKind", k.state()}}));
    ASSERT_EQ(back.records.size(), 1u);
    EXPECT_EQ(back.origin, 0xAu);
    EXPECT_EQ(back.screen, "match");
    EXPECT_EQ(back.records[0].entity, (kit::EntityID{0xA, 3}));
    EXPECT_EQ(back.records[0].type, "everyKind");
    const EveryKind got = EveryKind::from(back.records[0].state);
    EXPECT_NEAR(got.position, k.position, 0.5f / 128.0f);
    EXPECT_NE(got.position, k.position) << "steps of 1/128, not the float itself";
    EXPECT_EQ(got.scale, 1.5f);
    EXPECT_TRUE(got.on);
    EXPECT_EQ(got.count, 300u);
    EXPECT_EQ(got.signedValue, -7);
    EXPECT_LT(angleBetween(got.turn, k.turn), 1e-3f);
    EXPECT_NEAR(glm::length(got.turn), 1.0f, 1e-5f);
}

TEST(CompactState, UsualValuesExtremesAndWhatNoStepHoldsComeBackExactly)
{
    struct Case {
        float position;
        float scale;
        std::uint32_t count;
        std::int32_t signedValue;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float big = 1000.0f;                                             // beyond 2^16 steps of 1/128
    for (const Case c : {Case{0.0f, 1.0f, 0u, 0}, Case{1.0f, 0.0f, 1u, 1}, // a zero that is not the usual value
                         Case{big, 1e9f, 0xFFFFFFFFu, std::numeric_limits<std::int32_t>::min()},
                         Case{-big, -8.0f, 127u, std::numeric_limits<std::int32_t>::max()},
                         Case{nan, std::numeric_limits<float>::infinity(), 128u, -1}}) {
        EveryKind k;
        k.position = c.position;
        k.scale = c.scale;
        k.count = c.count;
        k.signedValue = c.signedValue;
        const std::optional<EveryKind> back = alone(k);
        ASSERT_TRUE(back);
        const EveryKind got = *back;
        if (std::isnan(c.position))
            EXPECT_TRUE(std::isnan(got.position)) << "the float's own bits";
        else
            EXPECT_EQ(got.position, c.position);
        EXPECT_EQ(got.scale, c.scale);
        EXPECT_EQ(got.count, c.count);
        EXPECT_EQ(got.signedValue, c.signedValue);
    }
    // The largest value the bits hold in steps, and the first beyond them.
    for (const float edge : {65535.0f / 128.0f, -65535.0f / 128.0f, 65536.0f / 128.0f, -65536.0f / 128.0f}) {
        EveryKind k;
        k.position = edge;
        const std::optional<EveryKind> back = alone(k);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->position, edge);
    }
}

TEST(CompactState, RotationsOfEveryShapeComeBackAsTheSameTurn)
{
    const float half = 0.5f;
    for (const glm::quat turn :
         {glm::quat(1, 0, 0, 0), glm::quat(0, 0, 0, 1), glm::quat(0, 1, 0, 0), glm::quat(0, 0, 1, 0),
          glm::quat(std::cos(half), 0, 0, std::sin(half)), glm::quat(std::cos(half), 0, 0, -std::sin(half)),
          glm::normalize(glm::quat(-0.2f, 0.1f, 0.9f, -0.3f)), glm::normalize(glm::quat(0.5f, -0.5f, 0.5f, -0.5f)),
          // the largest part negative
          glm::quat(-1, 0, 0, 0), glm::normalize(glm::quat(0.1f, -0.9f, 0.3f, 0.2f)),
          glm::normalize(glm::quat(0.2f, 0.3f, 0.1f, -0.9f))}) {
        EveryKind k;
        k.turn = turn;
        const std::optional<EveryKind> back = alone(k);
        ASSERT_TRUE(back);
        const glm::quat got = back->turn;
        EXPECT_LT(angleBetween(got, turn), 2e-3f) << turn.w << " " << turn.x << " " << turn.y << " " << turn.z;
    }
    // Not of unit length: as it was, to be judged by the component.
    for (const glm::quat odd : {glm::quat(0, 0, 0, 0), glm::quat(2, 0, 0, 0), glm::quat(1, 1, 1, 1)}) {
        EveryKind k;
        k.turn = odd;
        const std::optional<EveryKind> back = alone(k);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->turn, odd);
    }
}

TEST(CompactState, OtherTypesForeignEntitiesAndLayoutMismatchesTravelBitForBit)
{
    kit::NetStream odd; // 11 bits of a type nobody registered
    odd.write(true);
    odd.write(std::uint8_t{0x5A});
    odd.write(false);
    odd.write(true);
    kit::NetStream shortOne; // a registered type's name, but too few fields
    shortOne.write(1.0f);
    EveryKind k;
    k.position = 2.0f;
    kit::NetStream longOne = k.state(); // and too many
    longOne.write(true);
    const std::vector<Record> records{{{7, 1}, "odd", odd},
                                      {{7, 1}, "everyKind", shortOne},
                                      {{0xBEEF, 1}, "everyKind", longOne},
                                      {{7, 900000}, "odd", kit::NetStream{}},
                                      {{7, 900000}, "everyKind", k.state()}};
    const Read back = roundTrip(fullPacket(7, "joinScreen", records));
    ASSERT_EQ(back.records.size(), records.size());
    for (std::size_t i = 0; i + 1 < records.size(); ++i) {
        EXPECT_EQ(back.records[i].entity, records[i].entity) << i;
        EXPECT_EQ(back.records[i].type, records[i].type) << i;
        const kit::NetStream& want = records[i].state;
        const kit::NetStream& got = back.records[i].state;
        ASSERT_EQ(got.bitsUsed(), want.bitsUsed()) << i;
        EXPECT_EQ(std::memcmp(got.data(), want.data(), want.bytesUsed()), 0) << i;
    }
    EXPECT_EQ(back.records[4].entity, (kit::EntityID{7, 900000}));
    EXPECT_EQ(EveryKind::from(back.records[4].state).position, 2.0f);
}

TEST(CompactState, APlanesStateTakesAFractionOfItsFullBytes)
{
    std::vector<Record> records;
    for (std::uint32_t plane = 1; plane <= 6; ++plane) {
        EveryKind k;
        k.position = 37.25f * static_cast<float>(plane);
        k.turn = glm::quat(std::cos(0.3f), 0, 0, std::sin(0.3f));
        for (int part = 0; part < 4; ++part)
            records.push_back({{0xC0FFEE, plane}, "everyKind", k.state()});
    }
    const std::vector<std::uint8_t> full = fullPacket(0xC0FFEE, "game", records);
    std::size_t bytes = 0;
    const Read back = roundTrip(full, &bytes);
    EXPECT_EQ(back.records.size(), records.size());
    EXPECT_LT(bytes * 4, full.size()) << bytes << " of " << full.size();
}

TEST(CompactState, ABrokenPackedPacketIsRefusedWholeAndNeverReadBeyondItsEnd)
{
    EveryKind k;
    k.turn = glm::normalize(glm::quat(0.8f, 0.3f, -0.4f, 0.2f));
    kit::NetStream odd;
    odd.write(std::uint32_t{0xDEADBEEF});
    const auto full = fullPacket(9, "match", {{{9, 200}, "everyKind", k.state()}, {{3, 4}, "odd", odd}});
    const auto wire = packed::pack(full.data(), full.size());
    ASSERT_TRUE(wire.has_value());
    // Cut short anywhere before its end bit, it does not read.
    for (std::size_t cut = 0; cut + 1 < wire->size(); ++cut)
        EXPECT_FALSE(packed::unpack(wire->data(), cut, 256).has_value()) << cut;
    EXPECT_TRUE(packed::unpack(wire->data(), wire->size(), 256).has_value());

    // Not a packed packet at all, or a full one.
    EXPECT_FALSE(packed::unpack(full.data(), full.size(), 256).has_value());
    EXPECT_FALSE(packed::unpack(nullptr, 0, 256).has_value());
    EXPECT_FALSE(packed::pack(wire->data(), wire->size()).has_value());

    // A type index nobody registered: the record cannot be read past.
    std::vector<std::uint8_t> unknown{packed::id, 0, 0, 0, 9, 0, 0b10100000, 0b10011010};
    // 1 record, 0 not the same, 1 own, serial 1 (0000001, 0 no more), type 1101 (13)
    unknown[6] = 0b10100000;
    unknown[7] = 0b01011010;
    EXPECT_FALSE(packed::unpack(unknown.data(), unknown.size(), 256).has_value());

    // A serial whose varint never ends within five groups.
    std::vector<std::uint8_t> endless{packed::id, 0, 0, 0, 9, 0};
    endless.push_back(0b10111111); // 1, 0, 1, then 1111111 1 ...
    for (int i = 0; i < 8; ++i)
        endless.push_back(0xFF);
    EXPECT_FALSE(packed::unpack(endless.data(), endless.size(), 256).has_value());

    // "The same entity" as a first record has no entity to be the same as.
    std::vector<std::uint8_t> sameFirst{packed::id, 0, 0, 0, 9, 0, 0b11000000, 0};
    EXPECT_FALSE(packed::unpack(sameFirst.data(), sameFirst.size(), 256).has_value());
}

TEST(CompactState, UnpackingStopsOneRecordPastItsBound)
{
    std::vector<Record> records;
    for (std::uint32_t i = 0; i < 10; ++i)
        records.push_back({{5, i}, "odd", kit::NetStream{}});
    const auto full = fullPacket(5, "", records);
    const auto wire = packed::pack(full.data(), full.size());
    ASSERT_TRUE(wire.has_value());
    for (const std::size_t bound : {0u, 3u, 9u}) {
        const auto back = packed::unpack(wire->data(), wire->size(), bound);
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(readFull(*back).records.size(), bound + 1) << "enough for the reader to refuse";
    }
    const auto all = packed::unpack(wire->data(), wire->size(), 10);
    ASSERT_TRUE(all.has_value());
    EXPECT_EQ(readFull(*all).records.size(), 10u);
}

TEST(CompactState, ALayoutIsRegisteredOnceUnderAnIndexFromOneToFifteen)
{
    testing::internal::CaptureStderr();
    EXPECT_FALSE(packed::add(0, {"zero", {Field::flag()}}));
    EXPECT_FALSE(packed::add(16, {"sixteen", {Field::flag()}}));
    EXPECT_FALSE(packed::add(14, {"another", {Field::flag()}})) << "index taken";
    EXPECT_FALSE(packed::add(13, {"everyKind", {Field::flag()}})) << "name taken";
    EXPECT_FALSE(packed::add(13, {"noSteps", {Field::real(0.0f, 16)}}));
    EXPECT_FALSE(packed::add(13, {"oneBit", {Field::real(1.0f, 1)}}));
    EXPECT_FALSE(packed::add(13, {"tooWide", {Field::real(1.0f, 33)}}));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("registered twice"), std::string::npos);
    EXPECT_TRUE(packed::add(15, {"fifteen", {Field::flag()}}));
}

TEST(CompactState, HandWrittenRecordsReadOnlyWhereAnHonestPackerCouldHaveWrittenThem)
{
    // A record of a named type with no name and no state: type 0, a name of
    // 0 bytes, a state of 0 bits.
    const std::pair<std::uint64_t, unsigned> bare[] = {{0, 4}, {0, 8}, {0, 7}, {0, 1}};
    const auto unpacked = [](const std::vector<std::uint8_t>& bytes) {
        return packed::unpack(bytes.data(), bytes.size(), 256);
    };
    // Own serial 1, then a record about the same entity: both read.
    auto twice = packedBits({{1, 1},
                             {0, 1},
                             {1, 1},
                             {1, 7},
                             {0, 1},
                             bare[0],
                             bare[1],
                             bare[2],
                             bare[3], //
                             {1, 1},
                             {1, 1},
                             bare[0],
                             bare[1],
                             bare[2],
                             bare[3],
                             {0, 1}});
    auto back = unpacked(twice);
    ASSERT_TRUE(back.has_value());
    Read read = readFull(*back);
    ASSERT_EQ(read.records.size(), 2u);
    EXPECT_EQ(read.records[1].entity, (kit::EntityID{9, 1}));
    // "The same entity" as the first record: there is none to be the same as.
    EXPECT_FALSE(unpacked(packedBits({{1, 1}, {1, 1}, bare[0], bare[1], bare[2], bare[3], {0, 1}})).has_value());

    // The largest serial in five groups of seven bits, and one bit beyond it.
    const auto serialOf = [&](std::uint64_t fifthGroup) {
        return packedBits({{1, 1},
                           {0, 1},
                           {1, 1},
                           {0x7F, 7},
                           {1, 1},
                           {0x7F, 7},
                           {1, 1},
                           {0x7F, 7},
                           {1, 1},
                           {0x7F, 7},
                           {1, 1},
                           {fifthGroup, 7},
                           {0, 1},
                           bare[0],
                           bare[1],
                           bare[2],
                           bare[3],
                           {0, 1}});
    };
    back = unpacked(serialOf(0x0F));
    ASSERT_TRUE(back.has_value());
    read = readFull(*back);
    ASSERT_EQ(read.records.size(), 1u);
    EXPECT_EQ(read.records[0].entity, (kit::EntityID{9, 0xFFFFFFFF}));
    EXPECT_FALSE(unpacked(serialOf(0x1F)).has_value()) << "beyond 32 bits: refused, not cut";
    EXPECT_FALSE(unpacked(serialOf(0x40)).has_value());
}
