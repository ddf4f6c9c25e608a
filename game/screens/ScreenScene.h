#pragma once

#include "engine/core/EntityHandle.h"
#include "engine/resources/UniformValue.h"

#include <glm/gtc/quaternion.hpp>
#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include <string>

namespace kit {
class Model;
class World;
} // namespace kit

namespace skyscuffle {

// The scenes of the screens around a match. Every screen draws an overlay
// of widgets (game/widgets/Overlay.h); screens with models add a scene
// ("gameSpace": a perspective camera and the game's four lights) drawn under it.
namespace screens {

// Frame-rate caps of the screens around a match (a match runs at the
// application's rate): a still menu redraws the same picture, so a few frames
// a second keep its cursor lively; screens with moving models get more.
inline constexpr float stillScreenFrameRate = 30.0f;
inline constexpr float movingScreenFrameRate = 60.0f;

// Where a scene is seen from: the camera's place and turn.
struct Viewpoint {
    glm::vec3 eye{0.0f};
    glm::quat turn{1.0f, 0.0f, 0.0f, 0.0f};

    // A point given in the camera's frame (x right, y up, -z ahead), in the scene.
    [[nodiscard]] glm::vec3 at(glm::vec3 offset) const { return eye + turn * offset; }
};

// The scene renderer (lit, clearing colour and depth) and its perspective
// camera, placed as the viewpoint says (unturned, it looks down -z).
void addScene(kit::World* world, const Viewpoint& view);

// The scene of sky, clouds, hills and trees ("models/background/background.obj",
// unlit) filling the view at any shape from 4:3 to 16:9, seen from a little
// above and looking slightly down. Returns the viewpoint.
Viewpoint addLandscape(kit::World* world);

// Scuff the mascot, playing its idle loop: a scene entity at `position`,
// turned by `rotation`, `scale` times its modelled size (about 4 units tall).
kit::EntityHandle addMascot(kit::World* world, glm::vec3 position, glm::quat rotation, float scale = 1.0f,
                            kit::EntityHandle parent = {});
// An OBJ model in the scene, drawn with `program` over a copy of its MTL
// material (colours and textures) and, when `normalMap` is not empty, that
// normal map. The entity's Transform is at `position`, turned and scaled.
// With a parent entity the placement is relative to the parent's.
kit::Model* addModel(kit::World* world, const std::string& obj, const std::string& program,
                     const std::string& normalMap, glm::vec3 position, glm::quat rotation, float scale,
                     kit::EntityHandle parent = {});
// A scene entity at `position` that turns about +y at `speed` radians per
// second: models parented to it turn on the spot for display.
kit::EntityHandle addTurntable(kit::World* world, glm::vec3 position, float speed,
                               glm::quat tilt = glm::quat(1, 0, 0, 0));

} // namespace screens

} // namespace skyscuffle
