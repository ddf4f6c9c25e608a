#pragma once

#include "engine/network/stream/NetStream.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kit {

// The batch of named-function calls a copy sends each tick, and the form a
// replay file keeps them in. Per call the byte 136, the function's name
// (string), then its arguments as a nested stream, the entity the call is
// about first; the byte 0 ends the batch. A batch without calls is the byte
// 0 alone.
//
// Peers and saved replays rely on these bytes: they are written and read here
// only.
namespace callBatch {

// The byte before every call; a batch is a packet of this identifier.
inline constexpr std::uint8_t callId = 136;

// Appends one call to a batch being written.
void append(NetStream& batch, std::string_view name, const NetStream& arguments);
// Ends a batch: nothing is appended after this.
void finish(NetStream& batch);

} // namespace callBatch

// One call read from a batch.
struct BatchedCall {
    std::string name;
    NetStream arguments; // read from the start: the entity, then the rest
};

// Reads the calls of a batch one by one. The bytes are untrusted: a byte
// other than a call's marker ends the batch as its end byte does, and a call
// that does not read whole (its name or arguments cut short) ends it too,
// marked as broken. Nothing is read beyond the bytes given.
class CallBatchReader {
public:
    CallBatchReader(const std::uint8_t* data, std::size_t size) : in_(data, size) {}

    // The next call; nothing at the end of the batch.
    [[nodiscard]] std::optional<BatchedCall> next();
    // Whether the batch ended in a call that did not read whole.
    [[nodiscard]] bool broken() const { return broken_; }

private:
    NetStream in_;
    bool ended_ = false;
    bool broken_ = false;
};

} // namespace kit
