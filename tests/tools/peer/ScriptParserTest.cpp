#include "tools/peer/ScriptParser.h"
#include "tools/peer/ValueWriter.h"

#include "engine/network/stream/NetStream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>

namespace {

using peer::Command;
using peer::ScriptParser;
using peer::Value;

// The script's one command; fails the test when it does not read.
Command only(const std::string& text, const std::map<std::string, std::string>& variables = {})
{
    const peer::ParseResult result = ScriptParser::parse(text, variables);
    EXPECT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.script.commands.size(), 1u);
    return result.script.commands.empty() ? Command{} : result.script.commands.front();
}

std::string errorOf(const std::string& text)
{
    const peer::ParseResult result = ScriptParser::parse(text);
    EXPECT_TRUE(result.script.commands.empty());
    return result.error;
}

// The bytes of a command's values written one after the other.
std::vector<std::uint8_t> encoded(const Command& command, peer::RunContext& context)
{
    kit::NetStream stream;
    for (const Value& value : command.values)
        peer::ValueWriter::write(stream, value, context);
    return {stream.data(), stream.data() + stream.bytesUsed()};
}

std::vector<std::uint8_t> bytesOf(const kit::NetStream& stream)
{
    return {stream.data(), stream.data() + stream.bytesUsed()};
}

} // namespace

TEST(PeerScript, ReadsEveryCommandWithItsFields)
{
    const peer::ParseResult result = ScriptParser::parse(R"(# a comment
host 20000
join 127.0.0.1 20001   # trailing comment
disconnect; reconnect
origin 0xDEADBEEF
serial 50
screen game
heartbeat 30
wait 0.5
wait connected 10
wait copy
wait call startGameplay 20
wait screen "game"
say hello there
repeat 3 { call print id(me, 1) "x" }
rate 100 for 2 {
  batch {
    call print id(me, 1) "y"
    state id(me, 1) score 5
  }
}
packet unreliable cut 4 u8(135) fill(10, 0)
)");
    ASSERT_TRUE(result.ok()) << result.error;
    const auto& c = result.script.commands;
    ASSERT_EQ(c.size(), 17u);
    using K = Command::Kind;
    EXPECT_EQ(c[0].kind, K::host);
    EXPECT_EQ(c[0].port, 20000);
    EXPECT_EQ(c[0].line, 2);
    EXPECT_EQ(c[1].kind, K::join);
    EXPECT_EQ(c[1].text, "127.0.0.1");
    EXPECT_EQ(c[1].port, 20001);
    EXPECT_EQ(c[2].kind, K::disconnect);
    EXPECT_EQ(c[3].kind, K::reconnect);
    EXPECT_EQ(c[3].line, 4);
    EXPECT_EQ(c[4].kind, K::origin);
    EXPECT_EQ(c[4].values.at(0).numbers.at(0).integer, 0xDEADBEEF);
    EXPECT_EQ(c[5].kind, K::serial);
    EXPECT_EQ(c[5].count, 50u);
    EXPECT_EQ(c[6].kind, K::screen);
    EXPECT_EQ(c[6].text, "game");
    EXPECT_EQ(c[7].kind, K::heartbeat);
    EXPECT_DOUBLE_EQ(c[7].rate, 30.0);
    EXPECT_EQ(c[8].kind, K::wait);
    EXPECT_DOUBLE_EQ(c[8].seconds, 0.5);
    EXPECT_EQ(c[9].kind, K::waitConnected);
    EXPECT_DOUBLE_EQ(c[9].seconds, 10.0);
    EXPECT_EQ(c[10].kind, K::waitCopy);
    EXPECT_DOUBLE_EQ(c[10].seconds, 30.0); // the default time-out
    EXPECT_EQ(c[11].kind, K::waitCall);
    EXPECT_EQ(c[11].text, "startGameplay");
    EXPECT_DOUBLE_EQ(c[11].seconds, 20.0);
    EXPECT_EQ(c[12].kind, K::waitScreen);
    EXPECT_EQ(c[12].text, "game");
    EXPECT_EQ(c[13].kind, K::say);
    EXPECT_EQ(c[13].text, "hello there");
    EXPECT_EQ(c[14].kind, K::repeat);
    EXPECT_EQ(c[14].count, 3u);
    ASSERT_EQ(c[14].body.size(), 1u);
    EXPECT_EQ(c[14].body[0].kind, K::call);
    EXPECT_EQ(c[14].body[0].text, "print");
    EXPECT_EQ(c[15].kind, K::rate);
    EXPECT_DOUBLE_EQ(c[15].rate, 100.0);
    EXPECT_DOUBLE_EQ(c[15].seconds, 2.0);
    ASSERT_EQ(c[15].body.size(), 1u);
    ASSERT_EQ(c[15].body[0].kind, K::batch);
    ASSERT_EQ(c[15].body[0].body.size(), 2u);
    EXPECT_EQ(c[15].body[0].body[1].kind, K::state);
    EXPECT_EQ(c[15].body[0].body[1].text, "score");
    EXPECT_EQ(c[15].body[0].body[1].line, 19);
    EXPECT_EQ(c[16].kind, K::packet);
    EXPECT_FALSE(c[16].reliable);
    EXPECT_EQ(c[16].cut, 4u);
}

TEST(PeerScript, ValuesAreWrittenInTheGamesEncoding)
{
    const Command call = only(R"(call print id(me, 7) 1 -2 1.5 "ab" vec2(1, 2) vec3(1, 2, 3) quat(1, 2, 3, 4) true)"
                              R"( u8(255) u16(513) u32(0xFFFFFFFF) i32(-1) f32(2) bool(0) id(them, 9) them)");
    EXPECT_EQ(call.text, "print");
    peer::RunContext context;
    context.mine = 0x01020304;
    context.them = 0x0A0B0C0D;

    kit::NetStream expected;
    expected.write(kit::EntityID{0x01020304, 7});
    expected.write(std::int32_t{1});
    expected.write(std::int32_t{-2});
    expected.write(1.5f);
    expected.write(std::string("ab"));
    expected.write(glm::vec2(1, 2));
    expected.write(glm::vec3(1, 2, 3));
    expected.write(glm::quat(4, 1, 2, 3)); // w, x, y, z: the wire says x, y, z, w
    expected.write(true);
    expected.write(std::uint8_t{255});
    expected.write(std::uint16_t{513});
    expected.write(std::uint32_t{0xFFFFFFFF});
    expected.write(std::int32_t{-1});
    expected.write(2.0f);
    expected.write(false);
    expected.write(kit::EntityID{0x0A0B0C0D, 9});
    expected.write(std::uint32_t{0x0A0B0C0D});
    EXPECT_EQ(encoded(call, context), bytesOf(expected));
}

TEST(PeerScript, NestedRawHexAndFillBytes)
{
    const Command packet = only(R"(packet u8(136) nested(u8(1), "z") hex("de ad BE ef") raw("\x01\n\"") fill(3, 7))");
    EXPECT_TRUE(packet.reliable);
    EXPECT_EQ(packet.cut, SIZE_MAX);
    peer::RunContext context;
    kit::NetStream inner;
    inner.write(std::uint8_t{1});
    inner.write(std::string("z"));
    kit::NetStream expected;
    expected.write(std::uint8_t{136});
    expected.write(inner);
    const std::uint8_t tail[] = {0xDE, 0xAD, 0xBE, 0xEF, 0x01, '\n', '"', 7, 7, 7};
    expected.writeBits(tail, sizeof tail * 8);
    EXPECT_EQ(encoded(packet, context), bytesOf(expected));
}

TEST(PeerScript, FloatWordsAreTheIeeeSpecialValues)
{
    const Command call = only("call f id(1, 2) nan inf -inf huge -huge 1e30 1e39 f32(-0.25)");
    peer::RunContext context;
    std::vector<float> got;
    for (std::size_t i = 1; i < call.values.size(); ++i) {
        ASSERT_EQ(call.values[i].kind, Value::Kind::f32);
        got.push_back(peer::ValueWriter::real(call.values[i].numbers.at(0), context));
    }
    ASSERT_EQ(got.size(), 8u);
    EXPECT_TRUE(std::isnan(got[0]));
    EXPECT_EQ(got[1], std::numeric_limits<float>::infinity());
    EXPECT_EQ(got[2], -std::numeric_limits<float>::infinity());
    EXPECT_EQ(got[3], std::numeric_limits<float>::max());
    EXPECT_EQ(got[4], -std::numeric_limits<float>::max());
    EXPECT_EQ(got[5], 1e30f);
    EXPECT_EQ(got[6], std::numeric_limits<float>::infinity()); // beyond the float range
    EXPECT_EQ(got[7], -0.25f);
}

TEST(PeerScript, LoopCountsAndSerialsTakeTheirValuesWhileRunning)
{
    const Command call = only("call f id(me, index + 1) index * 0.5 - 40 vec2(index, index*2) id(me, new) id(me, last) "
                              "u32(index-1) index * 2 + 1");
    peer::RunContext context;
    context.mine = 5;
    context.index = 4;
    context.nextSerial = 100;
    kit::NetStream expected;
    expected.write(kit::EntityID{5, 5});
    expected.write(-38.0f);
    expected.write(glm::vec2(4, 8));
    expected.write(kit::EntityID{5, 100});
    expected.write(kit::EntityID{5, 100});
    expected.write(std::uint32_t{3});
    expected.write(std::int32_t{9}); // whole numbers only: an integer, like a literal
    EXPECT_EQ(encoded(call, context), bytesOf(expected));
    EXPECT_EQ(context.nextSerial, 101u);
    EXPECT_EQ(context.lastSerial, 100u);
}

TEST(PeerScript, VariablesAreReplacedBeforeReading)
{
    const Command join = only("join 127.0.0.1 ${port}", {{"port", "20321"}});
    EXPECT_EQ(join.port, 20321);
    const Command call = only("call f id(1, 1) \"${dir}/x\"", {{"dir", "/tmp/a b"}});
    EXPECT_EQ(call.values.at(1).bytes, "/tmp/a b/x");
    EXPECT_EQ(ScriptParser::parse("\njoin 127.0.0.1 ${port}").error, "line 2: no value was given for ${port}");
    EXPECT_EQ(ScriptParser::parse("join ${port").error, "line 1: expected '}' to close '${'");
    EXPECT_EQ(ScriptParser::parse("say ${x}", {{"x", "a\nb"}}).error, "line 1: the value of ${x} holds a line end");
}

TEST(PeerScript, BadScriptsGiveOneLineNamingTheLineAndWhatWasExpected)
{
    EXPECT_EQ(errorOf("\n\nfly away"), "line 3: expected a command (host, join, disconnect, reconnect, origin, serial, "
                                       "screen, heartbeat, wait, call, state, batch, packet, repeat, rate, say), got "
                                       "'fly'");
    EXPECT_EQ(errorOf("host"), "line 1: expected an integer from 1 to 65535, got the end of the script");
    EXPECT_EQ(errorOf("host 70000"), "line 1: expected an integer from 1 to 65535, got '70000'");
    EXPECT_EQ(errorOf("call print 5"), "line 1: expected an entity id(ORIGIN, SERIAL), got '5'");
    EXPECT_EQ(errorOf("call print id(me 5)"), "line 1: expected ',', got '5'");
    EXPECT_EQ(errorOf("call f id(1,1) vec3(1, 2)"), "line 1: expected ',', got ')'");
    EXPECT_EQ(errorOf("call f id(1,1) u8(256)"),
              "line 1: expected an integer from 0 to 255 (or me, them, index, new, last), got '256'");
    EXPECT_EQ(errorOf("call f id(1,1) \"abc"), "line 1: expected '\"' to close the string");
    EXPECT_EQ(errorOf("call f id(1,1) \"\\q\""), "line 1: expected one of \\n \\t \\r \\0 \\\\ \\\" \\xHH, got '\\q'");
    EXPECT_EQ(errorOf("call f id(1,1) \"\\x4\""), "line 1: expected two hexadecimal digits after '\\x'");
    EXPECT_EQ(errorOf("call f id(1,1) hex(\"abc\")"),
              "line 1: expected an even number of hexadecimal digits in hex(..), got the string \"abc\"");
    EXPECT_EQ(errorOf("call f id(1,1) wobble(1)"),
              "line 1: expected a value (u8, u16, i32, u32, f32, bool, vec2, vec3, "
              "quat, id, nested, hex, raw, fill), got 'wobble'");
    EXPECT_EQ(errorOf("repeat 2 {\n call f id(1,1)\n"), "line 3: expected '}', got the end of the script");
    EXPECT_EQ(errorOf("batch {\n wait 1\n}"), "line 2: expected 'call' or 'state' inside a batch, got 'wait'");
    EXPECT_EQ(
        errorOf("wait forever"),
        "line 1: expected seconds, 'connected', 'copy', 'call NAME' or 'screen NAME' after 'wait', got 'forever'");
    EXPECT_EQ(errorOf("rate 10 {\n}"), "line 1: expected 'for', got '{'");
    EXPECT_EQ(errorOf("screen game extra"), "line 1: expected the end of the line, got 'extra'");
    EXPECT_EQ(errorOf("packet reliable"), "line 1: expected the packet's values, got the end of the script");
    EXPECT_EQ(errorOf("say \x01"), "line 1: unexpected character '\\x01'");
    EXPECT_EQ(errorOf("wait 1x"), "line 1: expected a number, got '1x'");
    EXPECT_EQ(errorOf("call f id(1,1) 99999999999"),
              "line 1: expected an integer that fits 32 bits, got '99999999999'");
}

TEST(PeerScript, EveryCountSizeAndNestingIsBounded)
{
    EXPECT_TRUE(ScriptParser::parse("repeat 10000000 { say x }").ok());
    EXPECT_EQ(errorOf("repeat 10000001 { say x }"), "line 1: expected an integer from 0 to 10000000, got '10000001'");
    EXPECT_EQ(errorOf("rate 2000000 for 1 { say x }"), "line 1: expected times a second from 0.001 to 1e+06, got "
                                                       "'2000000'");
    EXPECT_EQ(errorOf("rate 10 for 4000 { say x }"), "line 1: expected seconds from 0 to 3600, got '4000'");
    EXPECT_TRUE(ScriptParser::parse("packet fill(16777216, 0)").ok());
    EXPECT_EQ(errorOf("packet fill(16777217, 0)"), "line 1: expected an integer from 0 to 16777216, got '16777217'");
    EXPECT_EQ(errorOf("call f id(1,1) \"" + std::string(70000, 'a') + "\""),
              "line 1: a string holds at most 65535 bytes (its length is 16 bits)");

    std::string deep = "packet ";
    for (int i = 0; i < peer::maxDepth; ++i)
        deep += "nested(";
    deep += "u8(1)" + std::string(peer::maxDepth, ')');
    EXPECT_TRUE(ScriptParser::parse(deep).ok()) << ScriptParser::parse(deep).error;
    EXPECT_EQ(errorOf("packet nested(" + deep.substr(7) + ")"), "line 1: nested() nests at most 16 deep");

    std::string blocks;
    for (int i = 0; i < peer::maxDepth + 1; ++i)
        blocks += "repeat 1 {\n";
    EXPECT_EQ(errorOf(blocks), "line 17: blocks nest at most 16 deep");
}

TEST(PeerScript, TheTestsHostileScriptsAllRead)
{
    int read = 0;
    for (const auto& entry : std::filesystem::directory_iterator(SKYSCUFFLE_SOURCE_DIR "/tests/tools/peer")) {
        if (entry.path().extension() != ".peer")
            continue;
        std::ifstream file(entry.path());
        const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        const peer::ParseResult result =
            ScriptParser::parse(text, {{"port", "20000"}, {"planted", "/tmp/planted/planted.png"}});
        EXPECT_TRUE(result.ok()) << entry.path() << ": " << result.error;
        EXPECT_FALSE(result.script.commands.empty()) << entry.path();
        ++read;
    }
    EXPECT_GE(read, 6);
}
