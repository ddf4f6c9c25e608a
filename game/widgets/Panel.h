#pragma once

#include "game/widgets/Plate.h"

#include "engine/core/EntityHandle.h"

#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include <string>
#include <vector>

namespace kit {
class Sprite;
class Text;
class World;
} // namespace kit

namespace skyscuffle {

namespace widgets {

// The colour of a panel's title, and of the chosen line of a menu.
inline constexpr glm::vec3 titleColour{1.0f, 0.85f, 0.25f};

// One line of words on a panel: where it starts (the line's bottom), its
// height and colour.
struct PanelLine {
    std::string text;
    glm::vec2 origin{0.0f};
    float size = 0.05f;
    glm::vec3 colour{1.0f};
};

// A plate with lines of words on it: a title, help, a message.
struct Panel {
    kit::Sprite* plate = nullptr;
    std::vector<kit::Text*> lines; // in the order given

    // The plate's entity and its lines', to show or hide them together.
    [[nodiscard]] std::vector<kit::EntityHandle> entities() const;
};

// How far a panel's words keep from the plate's right edge.
inline constexpr float panelMargin = 0.02f;

// The plate in `box`, then its lines over it, each shrunk where it is too
// long to end before the plate's edge (or before the next line on its row); `layer` is the plate's render
// priority and `wordsLayer` the lines'.
Panel addPanel(kit::World* world, const Box& box, const std::vector<PanelLine>& lines, float layer = plateLayer,
               float wordsLayer = textLayer);

} // namespace widgets

} // namespace skyscuffle
