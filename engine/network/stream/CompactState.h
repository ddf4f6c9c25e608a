#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kit {

// State packets as they travel between copies: the same records as the state
// packet the network system builds (and taps, records and replays), written
// in about a sixth of the bytes, so that a six-plane session stays within an
// internet connection's share. A copy packs its own state packets on the way
// out, relays what it receives as it came, and unpacks every packed one into
// the full form before a record of it is judged or applied.
//
// Packed form (bits most significant first, as NetStream writes them):
//   id (8 bits, `id`), origin (32), the screen name (8-bit length, the bytes)
//   per record: 1, then 1 when it is about the previous record's entity; else
//     0, then 1 and the serial (varint) when the entity is the origin's own,
//     or 0 and the entity id (origin, serial: 32 bits each); then the type
//     (4 bits): 0 for a type named in full (8-bit length, the bytes, then the
//     state's length in bits as a varint and the bits), or the index of a
//     registered layout followed by its fields (below)
//   0 after the last record
// A varint is groups of seven bits, least significant first, each after a
// bit that says whether another group follows (at most five groups).
namespace compactState {

inline constexpr std::uint8_t id = 140;

// A field of a registered layout, and the full form it stands for.
struct Field {
    enum class Kind {
        real,      // a 32-bit float: 00 the usual value, 01 and `bits` of fixed point
                   // in steps of 1/`scale`, 1 and the float's 32 bits
        flag,      // a bool: 1 bit either way
        count,     // an unsigned 32-bit integer: a varint
        signedInt, // a signed 32-bit integer: a varint of its zigzag code
        rotation,  // a quaternion, four floats x, y, z, w: 1 and the 128 bits
                   // when not of unit length; else 01 and a turn about z in 16
                   // bits, or 00, the largest part's index (2 bits) and the other
                   // three in 12 bits each (the largest made positive)
    };
    Kind kind = Kind::real;
    float scale = 1.0f;
    unsigned bits = 16;
    float usual = 0.0f;

    static Field real(float scale, unsigned bits, float usual = 0.0f) { return {Kind::real, scale, bits, usual}; }
    static Field flag() { return {Kind::flag}; }
    static Field count() { return {Kind::count}; }
    static Field signedInt() { return {Kind::signedInt}; }
    static Field rotation() { return {Kind::rotation}; }
};

// The fields of a networked component's state, in the order its serialize
// writes them, under a type index from 1 to 15 that every copy gives the
// same type. Registered once per type before any packing (a static
// registration next to the component does it); a second registration of an
// index or a name is refused with a line on standard error.
struct Layout {
    std::string typeName;
    std::vector<Field> fields;
};
bool add(std::uint8_t index, Layout layout);

// A registration as a static object: `kit::compactState::Registration r{3, {...}};`.
struct Registration {
    Registration(std::uint8_t index, Layout layout) { add(index, std::move(layout)); }
};

// The packed form of a full state packet; nothing when it does not read as one.
[[nodiscard]] std::optional<std::vector<std::uint8_t>> pack(const std::uint8_t* full, std::size_t bytes);

// The full form of a packed packet, with at most `maxRecords` records (one
// more when the packet holds more, for the reader to refuse); nothing when
// it is broken: short, a type index nobody registered, a varint too long.
[[nodiscard]] std::optional<std::vector<std::uint8_t>> unpack(const std::uint8_t* packed, std::size_t bytes,
                                                              std::size_t maxRecords);

} // namespace compactState
} // namespace kit
