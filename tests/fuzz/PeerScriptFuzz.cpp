// Reads arbitrary text as a hostile peer's script, and writes every value of
// a script that reads into the game's bit stream. A script that cannot be
// read must give one line naming a line of the text and no commands; one that
// reads must encode every value to exactly the bits its kind takes, with
// every bound the parser promises kept. Crashes and hangs are findings too.
#include "FuzzCheck.h"
#include "tools/peer/ScriptParser.h"
#include "tools/peer/ValueWriter.h"

#include "engine/network/stream/NetStream.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

// The bits a value takes when written at bit `at`; false for a fill too big
// to write here (its size is checked against the bound instead).
std::size_t expectedBits(const peer::Value& value, std::size_t at)
{
    using Kind = peer::Value::Kind;
    switch (value.kind) {
    case Kind::u8:
        return 8;
    case Kind::u16:
        return 16;
    case Kind::i32:
    case Kind::u32:
    case Kind::f32:
        return 32;
    case Kind::boolean:
        return 1;
    case Kind::string: {
        const std::size_t afterLength = at + 16;
        const std::size_t aligned = (afterLength + 7) & ~std::size_t(7);
        return aligned - at + 8 * value.bytes.size();
    }
    case Kind::vec2:
        return 64;
    case Kind::vec3:
        return 96;
    case Kind::quat:
        return 128;
    case Kind::entity:
        return 64;
    case Kind::nested: {
        std::size_t inner = 0;
        for (const peer::Value& child : value.children)
            inner += expectedBits(child, inner);
        return 32 + inner;
    }
    case Kind::raw:
        return 8 * value.bytes.size();
    case Kind::fill:
        return 8 * value.count;
    }
    return 0;
}

std::size_t fillBytes(const peer::Value& value)
{
    std::size_t total = value.kind == peer::Value::Kind::fill ? value.count : 0;
    for (const peer::Value& child : value.children)
        total += fillBytes(child);
    return total;
}

void checkValue(const peer::Value& value, peer::RunContext& context, int depth)
{
    fuzz::require(depth <= peer::maxDepth + 1);
    fuzz::require(value.kind != peer::Value::Kind::fill || value.count <= peer::maxFillBytes);
    fuzz::require(value.kind != peer::Value::Kind::string || value.bytes.size() <= kit::NetStream::maxStringLength);
    for (const peer::Value& child : value.children)
        checkValue(child, context, depth + 1);
    if (fillBytes(value) > (1u << 16))
        return; // large fills are bounded above; writing them here would only slow the search
    // Written after an odd number of bits, so that strings pad.
    kit::NetStream stream;
    stream.write(true);
    peer::ValueWriter::write(stream, value, context);
    fuzz::require(stream.bitsUsed() == 1 + expectedBits(value, 1));
}

void checkCommands(const std::vector<peer::Command>& commands, peer::RunContext& context, int depth)
{
    fuzz::require(depth <= peer::maxDepth);
    for (const peer::Command& command : commands) {
        fuzz::require(command.line >= 1);
        fuzz::require(command.kind != peer::Command::Kind::repeat || command.count <= peer::maxRepeat);
        fuzz::require(command.kind != peer::Command::Kind::rate ||
                      (command.rate > 0.0 && command.rate <= peer::maxRate && command.seconds <= peer::maxSeconds));
        fuzz::require(command.kind != peer::Command::Kind::call || !command.values.empty());
        fuzz::require(command.kind != peer::Command::Kind::packet || !command.values.empty());
        for (const peer::Value& value : command.values)
            checkValue(value, context, 0);
        checkCommands(command.body, context, depth + 1);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    static const std::map<std::string, std::string> variables{{"port", "20000"}, {"dir", "/tmp/planted"}};
    const peer::ParseResult result = peer::ScriptParser::parse(text, variables);
    if (!result.ok()) {
        // "line N: ...", one line, N within the text.
        fuzz::require(result.error.rfind("line ", 0) == 0);
        fuzz::require(result.error.find('\n') == std::string::npos);
        const long line = std::strtol(result.error.c_str() + 5, nullptr, 10);
        fuzz::require(line >= 1 && line <= 1 + std::count(text.begin(), text.end(), '\n'));
        fuzz::require(result.script.commands.empty());
        return 0;
    }
    peer::RunContext context;
    context.mine = 0x12345678;
    context.them = 0x9ABCDEF0;
    checkCommands(result.script.commands, context, 0);
    return 0;
}
