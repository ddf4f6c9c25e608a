#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A hostile peer's script, as parsed: plain data, run by HostilePeer. The
// format is described in docs/tools.md ("The hostile peer").
namespace peer {

// One number of a value: a literal, or something only known while the
// script runs (this peer's origin, the other copy's, a loop's count, a
// fresh or the last entity serial).
struct Number {
    enum class Source { literal, mine, them, index, fresh, last };
    Source source = Source::literal;
    std::int64_t integer = 0; // integer literals (u32 values up to 0xFFFFFFFF)
    float real = 0.0f;        // float literals, NaN and infinities included
    bool isReal = false;      // the literal was written as a float
    // index only: the count scaled and offset ("index * 0.5 - 40"), so that
    // a loop can spread what it makes.
    double scale = 1.0;
    double offset = 0.0;
};

// One value written into a packet, an argument stream or a state record,
// in the game's bit-stream encoding.
struct Value {
    enum class Kind { u8, u16, i32, u32, f32, boolean, string, vec2, vec3, quat, entity, nested, raw, fill };
    Kind kind = Kind::i32;
    std::vector<Number> numbers; // the scalars, vector components, or origin and serial
    std::string bytes;           // string: its bytes; raw: the bytes; fill: the one byte repeated
    std::size_t count = 0;       // fill: how many bytes
    std::vector<Value> children; // nested: the values of the nested stream
};

struct Command {
    enum class Kind {
        host,          // port
        join,          // text = address, port
        disconnect,    //
        reconnect,     // the last join again
        origin,        // values[0]: the origin this peer speaks as
        serial,        // count: the next fresh serial
        screen,        // text = screen name
        heartbeat,     // rate: empty state packets per second (0 stops them)
        wait,          // seconds
        waitConnected, // seconds = time-out
        waitCopy,      // seconds = time-out: until another copy's state has been heard
        waitCall,      // text = function name, seconds = time-out
        waitScreen,    // text = screen name, seconds = time-out
        call,          // text = function name, values[0] = entity, then the arguments
        state,         // values[0] = entity, text = type name, then the state's values
        batch,         // body: calls and state records sent as one packet of each
        packet,        // values: the bytes; reliable; cut
        repeat,        // count, body
        rate,          // rate (times a second), seconds, body
        say,           // text: a line for standard output
    };
    Kind kind = Kind::wait;
    int line = 0;
    std::string text;
    std::uint16_t port = 0;
    double seconds = 0.0;
    double rate = 0.0;
    std::size_t count = 0;
    bool reliable = true;       // packet: channel 1 reliable-ordered, else 0 unreliable-sequenced
    std::size_t cut = SIZE_MAX; // packet: bytes kept (a truncated packet)
    std::vector<Value> values;
    std::vector<Command> body;
};

struct Script {
    std::vector<Command> commands;
};

// Bounds the parser enforces, so that no script makes a value, a loop or a
// nesting without limit.
inline constexpr std::size_t maxFillBytes = 16u << 20;
inline constexpr std::size_t maxRepeat = 10'000'000;
inline constexpr double maxRate = 1'000'000.0;
inline constexpr double maxSeconds = 3600.0;
inline constexpr int maxDepth = 16;

} // namespace peer
