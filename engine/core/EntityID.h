#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>

namespace kit {

// Identity of an entity across every copy of a networked game: the origin is a
// random value drawn once per process, the serial a per-process counter. Serial
// 0 of the local origin is the process's system entity.
struct EntityID {
    std::uint32_t origin = 0;
    std::uint32_t serial = 0;

    friend constexpr bool operator==(const EntityID&, const EntityID&) = default;
    friend constexpr auto operator<=>(const EntityID&, const EntityID&) = default; // origin, then serial
};

// This process's origin, drawn from a random device on first use.
std::uint32_t localOrigin();

// The next serial for a new entity: 1, 2, 3, ...
std::uint32_t nextEntitySerial();

// The process's system entity (localOrigin(), 0), home of the process-wide services.
EntityID systemEntity();

struct EntityIDHash {
    std::size_t operator()(const EntityID& id) const noexcept
    {
        return std::hash<std::uint64_t>{}((std::uint64_t(id.origin) << 32) | id.serial);
    }
};

} // namespace kit
