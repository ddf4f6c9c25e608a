#pragma once

#include "ReplayLimits.h"

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
//
// Both sides keep what they remember (names, each record's last state)
// within the bounds below; a packet that would take the packer past one is
// kept as it is instead, and a packed packet that takes the unpacker past
// one is refused.
class StatePacker {
public:
    // The packed form of a packet, or nothing when the packet is not one
    // that rebuilds exactly or packing it would break a bound (then it is
    // kept as it is, and the packer stays as it was).
    std::optional<std::vector<std::uint8_t>> pack(std::span<const std::uint8_t> packet);

private:
    using Key = std::tuple<std::uint32_t, EntityID, std::uint16_t>; // sender, entity, name
    std::map<std::string, std::uint16_t> names_;
    std::map<Key, std::vector<std::uint8_t>> last_; // bit count (4 bytes), then the state's bytes
    std::size_t kept_ = 0;                          // the state bytes in last_
};

class StateUnpacker {
public:
    // The packet, or nothing with the reason in `error` (a corrupt file).
    std::optional<std::vector<std::uint8_t>> unpack(std::span<const std::uint8_t> packed, std::string& error);

private:
    using Key = std::tuple<std::uint32_t, EntityID, std::uint16_t>;
    std::vector<std::string> names_;
    std::map<Key, std::vector<std::uint8_t>> last_;
    std::size_t kept_ = 0;
};

} // namespace kit
