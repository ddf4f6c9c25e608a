#pragma once

#include "Script.h"

#include <cstdint>

namespace kit {
class NetStream;
}

namespace peer {

// What the numbers of a script stand for while it runs.
struct RunContext {
    std::uint32_t mine = 0; // this peer's origin
    std::uint32_t them = 0; // the first other copy heard from (0 until then)
    std::int64_t index = 0; // the innermost loop's count, from 0
    std::uint32_t nextSerial = 1;
    std::uint32_t lastSerial = 0;
};

// Writes script values in the game's bit-stream encoding.
class ValueWriter {
public:
    // Appends the value. "new" serials advance the context's counter.
    static void write(kit::NetStream& stream, const Value& value, RunContext& context);
    // A number as a 32-bit pattern: integers as written, reals truncated.
    static std::uint32_t integer(const Number& number, RunContext& context);
    static float real(const Number& number, RunContext& context);
};

} // namespace peer
