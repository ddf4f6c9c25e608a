#include "ScoreTable.h"

#include "game/combat/Score.h"
#include "game/common/Tags.h"

#include "engine/core/World.h"
#include "engine/network/stream/NetStream.h"

#include <algorithm>
#include <set>

namespace skyscuffle {

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

ScoreTable knownPlanes(const ScoreTable& table, const kit::World& world)
{
    constexpr std::int32_t most = 1000000; // two points a kill
    const kit::TagId plane = kit::tagId(tags::plane);
    ScoreTable kept;
    std::set<kit::EntityID> seen;
    for (const ScoreEntry& entry : table) {
        if (!world.entityHasTag(entry.plane, plane) || !seen.insert(entry.plane).second)
            continue;
        kept.push_back(ScoreEntry{entry.plane, std::clamp(entry.points, -most, most)});
    }
    return kept;
}

ScoreTable tableOf(kit::World& world)
{
    ScoreTable table;
    for (const auto& plane : world.getEntities(kit::tagId(tags::plane))->toVector()) {
        const auto* score = world.getComponent<Score>(plane.id);
        table.push_back(ScoreEntry{plane.id, score ? score->points : 0});
    }
    return table;
}

} // namespace skyscuffle
