#include "PlaneFollow.h"

#include "game/camera/SideviewCameraBehavior.h"
#include "game/common/Tags.h"
#include "game/players/PlayerInfo.h"

#include "engine/core/Label.h"
#include "engine/core/World.h"

#include <algorithm>
#include <vector>

namespace skyscuffle::planeFollow {

namespace {

constexpr char followLabel[] = "planeFollowed";

} // namespace

std::string nextAfter(kit::World& world, const std::string& following)
{
    std::vector<kit::EntityHandle> planes = world.getEntities(kit::tagId(tags::plane))->toVector();
    std::sort(planes.begin(), planes.end(), [](const auto& a, const auto& b) { return a.id < b.id; });
    std::size_t next = 0;
    for (std::size_t i = 0; i < planes.size(); ++i) {
        const PlayerInfo* info = world.getComponent<PlayerInfo>(planes[i].id);
        if (info && info->colourName == following)
            next = i + 1;
    }
    const PlayerInfo* info = next < planes.size() ? world.getComponent<PlayerInfo>(planes[next].id) : nullptr;
    return info ? info->colourName : std::string();
}

std::string follow(kit::World& world, const std::string& colourName)
{
    std::string followed;
    for (const kit::EntityHandle& plane : world.getEntities(kit::tagId(tags::plane))->toVector()) {
        world.destroyComponents(plane.id, kit::tagId(followLabel));
        const PlayerInfo* info = world.getComponent<PlayerInfo>(plane.id);
        if (!colourName.empty() && info && info->colourName == colourName && followed.empty()) {
            followed = colourName;
            world.addComponent(plane, new kit::Label(followLabel));
        }
    }
    if (auto* camera = world.single<SideviewCameraBehavior>())
        camera->focusLabel = followed.empty() ? "cameraFocus" : followLabel;
    return followed;
}

} // namespace skyscuffle::planeFollow
