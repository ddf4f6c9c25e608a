#pragma once

#include "engine/core/EntityHandle.h"

#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include <string>

namespace kit {
class Text;
class World;
} // namespace kit

namespace skyscuffle {

// Words in the game's font ("fonts/UbuntuMono.png") on an entity that has its
// place and space already (an overlay's, mostly), drawn over everything: with
// `outlined`, a dark outline keeps them legible on any background (four
// copies shifted diagonally under them, about a pixel at 600 lines for small
// letters, more for big ones). `origin` is where lines start and the first
// line's bottom, relative to the entity; `size` the line height; `layer` the
// render priority (the outline's just under it). Returns the words' own text.
kit::Text* addOutlinedText(kit::World& world, kit::EntityHandle entity, const std::string& words, glm::vec2 origin,
                           float size, glm::vec3 colour, float layer, bool outlined = true);

// Sets the words of a text made by addOutlinedText, and of its outline.
void setOutlinedText(kit::Text* text, const std::string& words);

} // namespace skyscuffle
