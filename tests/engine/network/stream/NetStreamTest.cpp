#include "engine/network/stream/NetStream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using kit::NetStream;

namespace {

std::vector<std::uint8_t> bytes(const NetStream& s)
{
    return std::vector<std::uint8_t>(s.data(), s.data() + s.bytesUsed());
}

NetStream reader(const NetStream& written)
{
    return NetStream(written.data(), written.bytesUsed());
}

} // namespace

TEST(NetStreamEncoding, FloatsAreBigEndianIeeeBits)
{
    NetStream s;
    float one = 1.0f;
    s.serialize(one);
    EXPECT_EQ(bytes(s), (std::vector<std::uint8_t>{0x3F, 0x80, 0x00, 0x00}));
    std::uint32_t u = 0x01020304;
    std::int32_t negative = -2;
    s.serialize(u);
    s.serialize(negative);
    EXPECT_EQ(bytes(s), (std::vector<std::uint8_t>{0x3F, 0x80, 0, 0, 1, 2, 3, 4, 0xFF, 0xFF, 0xFF, 0xFE}));
}

TEST(NetStreamEncoding, BitsPackMostSignificantFirstAndStringsAlign)
{
    NetStream s;
    bool t = true, f = false;
    s.serialize(t);
    s.serialize(f);
    s.serialize(t); // bits 1 0 1
    std::string ab = "ab";
    s.serialize(ab);
    // 101 then 0x0002 over 16 bits, padding to the byte, then 'a' 'b'.
    EXPECT_EQ(bytes(s), (std::vector<std::uint8_t>{0xA0, 0x00, 0x40, 0x61, 0x62}));
    EXPECT_EQ(s.bitsUsed(), 40u);

    NetStream in = reader(s);
    bool a = false, b = true, c = false;
    std::string text;
    in.serialize(a);
    in.serialize(b);
    in.serialize(c);
    in.serialize(text);
    EXPECT_TRUE(a);
    EXPECT_FALSE(b);
    EXPECT_TRUE(c);
    EXPECT_EQ(text, "ab");
}

TEST(NetStreamEncoding, UnalignedWordsStraddleBytes)
{
    NetStream s;
    bool t = true;
    std::uint32_t v = 0xFFFFFFFF;
    s.serialize(t);
    s.serialize(v);
    EXPECT_EQ(bytes(s), (std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 0x80}));
    EXPECT_EQ(s.bitsUsed(), 33u);
}

TEST(NetStreamEncoding, NestedStreamsCarryTheirBitCount)
{
    NetStream empty;
    NetStream outer;
    outer.serialize(empty);
    EXPECT_EQ(bytes(outer), (std::vector<std::uint8_t>{0, 0, 0, 0}));

    NetStream inner;
    bool t = true;
    std::uint8_t byte = 0xAB;
    inner.serialize(t);
    inner.serialize(byte); // 9 bits
    NetStream withBit;
    withBit.serialize(t);
    withBit.serialize(inner);
    EXPECT_EQ(inner.bitsRead(), 0u);
    EXPECT_EQ(withBit.bitsUsed(), 1u + 32u + 9u);

    NetStream in = reader(withBit);
    bool first = false;
    NetStream copy;
    in.serialize(first);
    in.serialize(copy);
    EXPECT_EQ(copy.bitsUsed(), 9u);
    EXPECT_FALSE(copy.writing);
    bool bit = false;
    std::uint8_t value = 0;
    copy.serialize(bit);
    copy.serialize(value);
    EXPECT_TRUE(bit);
    EXPECT_EQ(value, 0xAB);
}

TEST(NetStreamRoundTrip, EveryTypeComesBackBitForBit)
{
    enum class Power { none, bomb = 3, health = 5 };
    NetStream s;
    bool b = true;
    std::uint8_t u8 = 200;
    std::uint16_t u16 = 65000;
    std::int32_t i32 = std::numeric_limits<std::int32_t>::min();
    std::uint32_t u32 = 4000000000u;
    float nan = std::numeric_limits<float>::quiet_NaN();
    float tiny = std::numeric_limits<float>::denorm_min();
    std::string text = "Skyscuffle \xC3\xA9";
    std::string empty;
    glm::vec2 v2(1.5f, -2.0f);
    glm::vec3 v3(0.1f, 0.2f, 0.3f);
    glm::quat q(0.5f, 0.1f, 0.2f, 0.3f);
    kit::EntityID id{0xDEADBEEF, 42};
    kit::World* someWorld = reinterpret_cast<kit::World*>(0x1000);
    kit::EntityHandle handle{kit::EntityID{7, 8}, someWorld};
    Power power = Power::health;
    s.serialize(b);
    s.serialize(u8);
    s.serialize(u16);
    s.serialize(i32);
    s.serialize(u32);
    s.serialize(nan);
    s.serialize(tiny);
    s.serialize(text);
    s.serialize(empty);
    s.serialize(v2);
    s.serialize(v3);
    s.serialize(q);
    s.serialize(id);
    s.serialize(handle);
    s.serialize(power);

    NetStream in = reader(s);
    bool b2 = false;
    std::uint8_t u8b = 0;
    std::uint16_t u16b = 0;
    std::int32_t i32b = 0;
    std::uint32_t u32b = 0;
    float nan2 = 0, tiny2 = 0;
    std::string text2 = "x", empty2 = "not empty";
    glm::vec2 v2b(0.0f);
    glm::vec3 v3b(0.0f);
    glm::quat qb(1, 0, 0, 0);
    kit::EntityID id2;
    kit::EntityHandle handle2;
    Power power2 = Power::none;
    in.serialize(b2);
    in.serialize(u8b);
    in.serialize(u16b);
    in.serialize(i32b);
    in.serialize(u32b);
    in.serialize(nan2);
    in.serialize(tiny2);
    in.serialize(text2);
    in.serialize(empty2);
    in.serialize(v2b);
    in.serialize(v3b);
    in.serialize(qb);
    in.serialize(id2);
    in.serialize(handle2);
    in.serialize(power2);
    EXPECT_EQ(b2, b);
    EXPECT_EQ(u8b, u8);
    EXPECT_EQ(u16b, u16);
    EXPECT_EQ(i32b, i32);
    EXPECT_EQ(u32b, u32);
    EXPECT_TRUE(std::isnan(nan2));
    EXPECT_EQ(std::bit_cast<std::uint32_t>(tiny2), std::bit_cast<std::uint32_t>(tiny));
    EXPECT_EQ(text2, text);
    EXPECT_EQ(empty2, "");
    EXPECT_EQ(v2b, v2);
    EXPECT_EQ(v3b, v3);
    EXPECT_EQ(qb, q);
    EXPECT_EQ(id2, id);
    EXPECT_EQ(handle2.id, handle.id);
    EXPECT_EQ(handle2.world, nullptr); // the world is not sent
    EXPECT_EQ(power2, Power::health);
    EXPECT_EQ(in.bitsLeft(), s.bitsUsed() % 8 == 0 ? 0u : 8 - s.bitsUsed() % 8);
}

TEST(NetStreamShortReads, LeaveTheTargetAndPositionAlone)
{
    NetStream s;
    bool t = true;
    for (int i = 0; i < 31; ++i)
        s.writeBits(reinterpret_cast<const std::uint8_t*>("\xFF"), 1);
    NetStream in(s.data(), s.bytesUsed()); // 32 bits in the buffer, one of them padding
    in.serialize(t);
    ASSERT_EQ(in.bitsLeft(), 31u);
    std::uint32_t value = 123;
    in.serialize(value);
    EXPECT_EQ(value, 123u);
    EXPECT_EQ(in.bitsRead(), 1u);
    float f = 2.5f;
    in.serialize(f);
    EXPECT_EQ(f, 2.5f);

    NetStream nothing(nullptr, 0);
    bool flag = true;
    nothing.serialize(flag);
    EXPECT_TRUE(flag);
    std::string text = "kept";
    nothing.serialize(text);
    EXPECT_EQ(text, "kept");
    EXPECT_FALSE(nothing.read(flag));
}

TEST(NetStreamShortReads, StringsAndNestedStreamsNeverReadBeyondTheData)
{
    // A string announcing 100 bytes with 2 present.
    const std::uint8_t forged[] = {0x00, 0x64, 'h', 'i'};
    NetStream in(forged, sizeof forged);
    std::string text = "before";
    in.serialize(text);
    EXPECT_EQ(text, "");
    EXPECT_EQ(in.bitsRead(), 0u);

    // A nested stream announcing four billion bits.
    const std::uint8_t huge[] = {0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0x02};
    NetStream packet(huge, sizeof huge);
    NetStream nested;
    std::uint8_t marker = 9;
    nested.write(marker);
    packet.serialize(nested);
    EXPECT_EQ(nested.bitsUsed(), 8u); // untouched
    EXPECT_EQ(packet.bitsRead(), 32u);
}

TEST(NetStreamStrings, LongerThanTheLengthFieldAreCut)
{
    NetStream s;
    std::string huge(70000, 'x');
    bool after = true;
    s.serialize(huge);
    s.serialize(after);
    NetStream in = reader(s);
    std::string back;
    bool flag = false;
    in.serialize(back);
    in.serialize(flag);
    EXPECT_EQ(back.size(), NetStream::maxStringLength);
    EXPECT_TRUE(flag); // the stream after the string is intact
}

TEST(NetStreamBuffer, GrowsBeyondTheInlineBytes)
{
    NetStream s;
    bool odd = true;
    s.serialize(odd);
    for (std::uint32_t i = 0; i < 1000; ++i)
        s.serialize(i);
    NetStream in = reader(s);
    in.serialize(odd);
    for (std::uint32_t i = 0; i < 1000; ++i) {
        std::uint32_t v = 0;
        in.serialize(v);
        ASSERT_EQ(v, i);
    }
}

TEST(NetStreamDirection, WriteAndReadForceTheirDirection)
{
    NetStream s;
    s.writing = false;
    s.write(std::uint32_t{5});
    EXPECT_FALSE(s.writing);
    EXPECT_EQ(s.bitsUsed(), 32u);
    std::uint32_t v = 0;
    s.writing = true;
    EXPECT_TRUE(s.read(v));
    EXPECT_TRUE(s.writing);
    EXPECT_EQ(v, 5u);
}
