#include "ScoreTable.h"

#include "engine/network/stream/NetStream.h"

#include <algorithm>

namespace {

constexpr std::size_t entryBits = 64 + 32; // id, points

} // namespace

void serialize(kit::NetStream& stream, ScoreTable& table)
{
    if (stream.writing) {
        auto count = static_cast<std::uint32_t>(table.size());
        stream.serialize(count);
        for (ScoreEntry& entry : table) {
            stream.serialize(entry.plane);
            stream.serialize(entry.points);
        }
        return;
    }
    std::uint32_t count = 0;
    table.clear();
    if (!stream.read(count))
        return;
    const std::size_t available = stream.bitsLeft() / entryBits;
    table.resize(std::min<std::size_t>(count, available));
    for (ScoreEntry& entry : table) {
        stream.read(entry.plane);
        stream.read(entry.points);
    }
}
