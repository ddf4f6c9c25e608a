#include "MatchSoFar.h"

#include "PlayerPlane.h"

#include "game/combat/Score.h"
#include "game/common/Tags.h"
#include "game/match/ScoreTable.h"
#include "game/players/PlayerFunctions.h"
#include "game/players/PlayerInfo.h"

#include "engine/core/World.h"
#include "engine/network/stream/NetStream.h"
#include "engine/physics/Transform.h"

#include <algorithm>
#include <cmath>

namespace skyscuffle {

namespace {

// Writes a plane, or reads one: false when the stream ends before its last field.
bool serializePlane(kit::NetStream& stream, MatchSoFar::Plane& plane)
{
    stream.serialize(plane.id);
    serialize(stream, plane.look);
    stream.serialize(plane.number);
    stream.serialize(plane.flying);
    stream.serialize(plane.position);
    stream.serialize(plane.rotation);
    if (stream.writing) {
        stream.serialize(plane.points);
        return true;
    }
    return stream.read(plane.points);
}

} // namespace

void serialize(kit::NetStream& stream, MatchSoFar& soFar)
{
    stream.serialize(soFar.secondsLeft);
    stream.serialize(soFar.dropIn);
    if (stream.writing) {
        auto count = static_cast<std::uint32_t>(soFar.planes.size());
        stream.serialize(count);
        for (MatchSoFar::Plane& plane : soFar.planes)
            serializePlane(stream, plane);
        return;
    }
    soFar.planes.clear();
    std::uint32_t count = 0;
    if (!stream.read(count))
        return;
    for (std::uint32_t i = 0; i < count && soFar.planes.size() < MatchSoFar::mostPlanes; ++i) {
        MatchSoFar::Plane plane;
        if (!serializePlane(stream, plane))
            return; // the stream ended inside this plane
        soFar.planes.push_back(std::move(plane));
    }
}

MatchSoFar matchSoFar(kit::World& world, float secondsLeft)
{
    MatchSoFar soFar;
    soFar.secondsLeft = secondsLeft;
    std::vector<kit::EntityHandle> players = world.getEntities(kit::typeId<PlayerInfo>())->toVector();
    std::sort(players.begin(), players.end(), [](const auto& a, const auto& b) { return a.id < b.id; });
    for (const kit::EntityHandle& player : players) {
        const auto* info = world.getComponent<PlayerInfo>(player.id);
        if (soFar.planes.size() == MatchSoFar::mostPlanes)
            break;
        MatchSoFar::Plane entry;
        entry.id = player.id;
        entry.look = PlayerTextureInfo{info->colourName, info->modelTexture, info->hudIcon, info->colour};
        entry.number = static_cast<std::int32_t>(info->number);
        const auto* place = world.getComponent<kit::Transform>(player.id);
        entry.flying = place && world.entityHasTag(player.id, kit::tagId(tags::plane));
        if (entry.flying) {
            entry.position = place->position;
            entry.rotation = place->rotation;
        }
        if (const auto* score = world.getComponent<Score>(player.id))
            entry.points = score->points;
        soFar.planes.push_back(std::move(entry));
    }
    return soFar;
}

std::vector<kit::EntityHandle> takeMatchSoFar(kit::World& world, const MatchSoFar& soFar)
{
    std::vector<kit::EntityHandle> shown;
    for (const MatchSoFar::Plane& plane : soFar.planes) {
        const kit::EntityHandle handle{plane.id, &world};
        if (world.owns(plane.id))
            continue; // this copy's own players are its own to announce
        const bool flew = world.entityHasTag(plane.id, kit::tagId(tags::plane));
        spawnPersistantPlayer(handle, plane.look, plane.number);
        if (plane.flying)
            spawnPlayer(handle, plane.position, plane.rotation);
        if (!world.entityHasTag(plane.id, kit::tagId(tags::plane)))
            continue;
        // A plane this copy had counts its points itself.
        if (auto* score = world.getComponent<Score>(plane.id); score && !flew) {
            const ScoreTable bounded = knownPlanes(ScoreTable{ScoreEntry{plane.id, plane.points}}, world);
            score->points = bounded.empty() ? 0 : bounded.front().points;
        }
        if (std::none_of(shown.begin(), shown.end(), [&](const auto& e) { return e.id == plane.id; }))
            shown.push_back(handle);
    }
    return shown;
}

float secondsLeftOf(const MatchSoFar& soFar)
{
    if (!std::isfinite(soFar.secondsLeft))
        return 0.0f;
    return std::clamp(soFar.secondsLeft, 0.0f, MatchSoFar::longestMatch);
}

} // namespace skyscuffle
