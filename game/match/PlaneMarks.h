#pragma once

#include "game/players/PlayerShapes.h"

#include "engine/core/Behavior.h"
#include "engine/core/EntityHandle.h"

#include <glm/mat4x4.hpp>
#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include <map>
#include <optional>

namespace kit {
class EntityCollection;
class World;
} // namespace kit

namespace skyscuffle {

// Over every plane of the match, its player's shape (PlayerShapes.h) in the
// player's colour, outlined in dark: what tells the planes apart at the size
// a match shows them, some twenty to forty pixels long, where the shape
// painted on a livery is a pixel or two. The marks are on the HUD, of one
// size whatever the camera's distance, under the gauges, and follow the
// planes as the scene's camera shows them: made and dropped as planes come
// and go (update), placed after the scene's camera has moved (render, between
// the scene's renderer and the HUD's).
class PlaneMarks : public kit::Behavior {
public:
    PlaneMarks();

    void initialize() override;
    void update(float dt) override;
    void render(float dt) override;

    // A mark's line height, in HUD units (the HUD is 2 high).
    static constexpr float size = 0.09f;

    // Where a world point shows on the HUD, through the scene's camera and
    // the HUD's; none behind the camera.
    [[nodiscard]] static std::optional<glm::vec2> onHud(glm::vec3 point, const glm::mat4& sceneView,
                                                        const glm::mat4& sceneProjection, const glm::mat4& hudPlace,
                                                        const glm::mat4& hudProjection);

    // The mark of each plane, by the plane.
    std::map<kit::EntityID, kit::EntityHandle> marks;

private:
    kit::EntityCollection* sceneCameras_ = nullptr;
    kit::EntityCollection* hudCameras_ = nullptr;
};

// Adds the marks to a match world.
void showPlaneMarks(kit::World& world);

} // namespace skyscuffle
