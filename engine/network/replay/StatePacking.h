#pragma once

#include "engine/core/EntityID.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <tuple>
#include <vector>

namespace kit {

// How a replay keeps StateUpdate packets small without losing a bit of them.
// Thirty times a second the same entities send the same components, most of
// them unchanged (health, score) and the rest a little changed (positions):
// a packet is taken apart into its records, a record equal to the last one of
// its entity and component is kept as one byte, a changed one as its XOR with
// the last (mostly zero bytes, which zstd then squeezes), and the component's
// name as a number. Unpacking rebuilds the very same packet.
//
// Packed form, little-endian: sender u32, screen name (u16 length, bytes),
// record count u32, then per record: entity origin u32 and serial u32, name
// number u16 (the next unused number introduces a name: u16 length, bytes),
// state length in bits u32, and how the state follows: 0 the same as last
// time, 1 its bytes, 2 its bytes XOR last time's (same length).
class StatePacker {
public:
    // The packed form of a packet, or nothing when the packet is not one
    // that rebuilds exactly (then it is kept as it is).
    std::optional<std::vector<std::uint8_t>> pack(std::span<const std::uint8_t> packet);

private:
    using Key = std::tuple<std::uint32_t, EntityID, std::uint16_t>; // sender, entity, name
    std::map<std::string, std::uint16_t> names_;
    std::map<Key, std::vector<std::uint8_t>> last_; // state bits, as bytes
};

class StateUnpacker {
public:
    // The packet, or nothing with the reason in `error` (a corrupt file).
    std::optional<std::vector<std::uint8_t>> unpack(std::span<const std::uint8_t> packed, std::string& error);

private:
    using Key = std::tuple<std::uint32_t, EntityID, std::uint16_t>;
    std::vector<std::string> names_;
    std::map<Key, std::vector<std::uint8_t>> last_;
};

// The limits a packed packet is read within.
namespace statePacking {
inline constexpr std::size_t maxNames = 4096;
inline constexpr std::size_t maxRecords = 65536;
inline constexpr std::size_t maxStateBits = 8 * 65536;
} // namespace statePacking

} // namespace kit
