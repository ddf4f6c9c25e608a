// Reads arbitrary bytes as a packed state packet, as a copy reads what
// arrives from another. A packet either does not read, or unpacks into a
// full state packet of at most one record past the bound that packs again
// and unpacks again into as many records; nothing crashes or reads beyond
// the bytes it was given.
#include "FuzzCheck.h"
#include "engine/network/stream/CompactState.h"
#include "engine/network/stream/NetStream.h"
#include "engine/physics/Body.h"
#include "engine/physics/Transform.h"

#include <cstdlib>

namespace {

constexpr std::size_t bound = 64;

std::size_t records(const std::vector<std::uint8_t>& full)
{
    kit::NetStream in(full.data(), full.size());
    std::uint8_t id = 0;
    std::uint32_t origin = 0;
    std::string screen;
    in.read(id);
    in.read(origin);
    in.read(screen);
    std::size_t n = 0;
    bool more = false;
    while (in.read(more) && more) {
        kit::EntityID entity;
        std::string type;
        kit::NetStream state;
        in.read(entity);
        in.read(type);
        in.read(state);
        ++n;
    }
    return n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The engine's own layouts (a transform's and a body's) are registered
    // with their components.
    static const kit::Transform transform;
    static const kit::Body body;
    const auto full = kit::compactState::unpack(data, size, bound);
    if (!full)
        return 0;
    const std::size_t count = records(*full);
    fuzz::require(count <= bound + 1);
    const auto again = kit::compactState::pack(full->data(), full->size());
    fuzz::require(again.has_value());
    const auto back = kit::compactState::unpack(again->data(), again->size(), bound);
    fuzz::require(back.has_value() && records(*back) == count);
    return 0;
}
