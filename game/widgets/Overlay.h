#pragma once

#include "engine/core/EntityHandle.h"

#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include <string>

namespace kit {
class Sprite;
class Text;
class World;
} // namespace kit

namespace skyscuffle {

// The flat layer every screen draws its widgets on ("hudSpace": sprites and
// text, an orthographic camera from -1 to 1 stretched to the window's aspect,
// so x runs from -aspect to aspect), and the pieces drawn on it.
namespace widgets {

// Render priorities of the overlay's layers (blended, drawn in this order).
inline constexpr float backdropLayer = -10.0f;
inline constexpr float plateLayer = -5.0f;
inline constexpr float pictureLayer = 0.0f;
inline constexpr float cursorLayer = 5.0f;
inline constexpr float textLayer = 10.0f;
// A panel over the menu (a field to type in) and its words, above all of the above.
inline constexpr float dialogLayer = 20.0f;
inline constexpr float dialogTextLayer = 30.0f;

// The overlay renderer and camera. When nothing is drawn under the overlay
// it clears the window itself.
void addOverlay(kit::World* world, bool clears);

// An overlay entity with a Transform at `position`.
kit::EntityHandle overlayEntity(kit::World* world, glm::vec3 position);
// A picture of `size` centred at `position` (size in overlay units).
kit::Sprite* addPicture(kit::World* world, const std::string& texture, glm::vec2 position, glm::vec2 size,
                        float layer = pictureLayer);
// A picture that fills the window whatever its shape (stretched to the aspect).
kit::Sprite* addBackdrop(kit::World* world, const std::string& texture);

// Text in the game's font: `origin` is where lines start and the first line's
// bottom; `size` the line height. A dark outline keeps it legible on any
// background; `layer` is the text's render priority (the outline's just under it).
kit::Text* addText(kit::World* world, const std::string& text, glm::vec2 origin, float size,
                   glm::vec3 colour = glm::vec3(1.0f), bool shadowed = true, float layer = textLayer);
// Sets a text made by addText, and its shadow.
void setText(kit::Text* text, const std::string& value);
// A colour as bright as it goes with the same hue (its largest component
// raised to 1), for names written on the dark panels; a dark hue (a deep
// blue, a deep red) mixed with white besides, up to a luma of 0.55.
glm::vec3 vivid(glm::vec3 colour);
// Shows or hides what an entity draws, and what the entities parented to it draw.
void showDrawn(kit::World& world, kit::EntityHandle entity, bool visible);
// The width of one glyph for a line height (the font's cells are 34 x 64).
float glyphAdvance(float size);

} // namespace widgets

} // namespace skyscuffle
