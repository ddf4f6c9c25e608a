#pragma once

#include "engine/core/EntityHandle.h"
#include "engine/resources/UniformValue.h"

#include <glm/gtc/quaternion.hpp>
#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include <string>

namespace kit {
class Model;
class Sprite;
class Text;
class World;
} // namespace kit

namespace skyscuffle {

// The drawing kit of the screens around a match. Every screen draws an
// overlay ("hudSpace": sprites and text, an orthographic camera from -1 to 1
// stretched to the window's aspect, so x runs from -aspect to aspect); screens
// with models add a scene ("gameSpace": a perspective camera and the game's
// four lights) drawn under it.
namespace screens {

// Render priorities of the overlay's layers (blended, drawn in this order).
inline constexpr float backdropLayer = -10.0f;
inline constexpr float plateLayer = -5.0f;
inline constexpr float pictureLayer = 0.0f;
inline constexpr float cursorLayer = 5.0f;
inline constexpr float textLayer = 10.0f;
// A panel over the menu (a field to type in) and its words, above all of the above.
inline constexpr float dialogLayer = 20.0f;
inline constexpr float dialogTextLayer = 30.0f;

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

// The overlay renderer and camera. When the screen has no scene the overlay
// clears the window itself.
void addOverlay(kit::World* world, bool clears);
// The scene renderer (lit, clearing colour and depth) and its perspective
// camera, placed as the viewpoint says (unturned, it looks down -z).
void addScene(kit::World* world, const Viewpoint& view);

// The scene of sky, clouds, hills and trees ("models/background/background.obj",
// unlit) filling the view at any shape from 4:3 to 16:9, seen from a little
// above and looking slightly down. Returns the viewpoint.
Viewpoint addLandscape(kit::World* world);

// An overlay entity with a Transform at `position`.
kit::EntityHandle overlayEntity(kit::World* world, glm::vec3 position);
// A picture of `size` centred at `position` (size in overlay units).
kit::Sprite* addPicture(kit::World* world, const std::string& texture, glm::vec2 position, glm::vec2 size,
                        float layer = pictureLayer);
// A picture that fills the window whatever its shape (stretched to the aspect).
kit::Sprite* addBackdrop(kit::World* world, const std::string& texture);
// A dark, see-through panel with rounded corners and a light rim, as on the
// title picture, that text stands on: centred at `position`, `size` wide and high.
kit::Sprite* addPlate(kit::World* world, glm::vec2 position, glm::vec2 size, float layer = plateLayer);

// Text in the game's font: `origin` is where lines start and the first line's
// bottom; `size` the line height. A dark outline keeps it legible on any
// background; `layer` is the text's render priority (the outline's just under it).
kit::Text* addText(kit::World* world, const std::string& text, glm::vec2 origin, float size,
                   glm::vec3 colour = glm::vec3(1.0f), bool shadowed = true, float layer = textLayer);
// Sets a text made by addText, and its shadow.
void setText(kit::Text* text, const std::string& value);
// A player's colour as bright as it goes with the same hue (its largest
// component raised to 1), for names written on the dark panels.
glm::vec3 vivid(glm::vec3 colour);
// The width of one glyph for a line height (the font's cells are 34 x 64).
float glyphAdvance(float size);

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
