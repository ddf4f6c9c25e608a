#pragma once

#include "engine/core/EntityHandle.h"
#include "engine/resources/UniformValue.h"

#include <glm/gtc/quaternion.hpp>
#include <glm/vec3.hpp>

#include <memory>
#include <string>

namespace kit {
class Application;
class Model;
class Sprite;
class Text;
class World;
} // namespace kit

namespace gallery {

// The application whose window and render state the gallery's worlds use.
void useApplication(kit::Application* app);

// A world with a scene renderer ("gameSpace", lit, clearing to the game's sky
// blue) and an overlay renderer ("hudSpace") drawn over it.
std::shared_ptr<kit::World> makeWorld(glm::vec3 clearColour = glm::vec3(0.53f, 0.81f, 0.92f));

kit::EntityHandle placed(kit::World& world, glm::vec3 position, const char* space,
                         glm::quat rotation = glm::quat(1, 0, 0, 0), glm::vec3 scale = glm::vec3(1.0f));

// The game camera: perspective, 70 degrees, square projection whose shape the
// entity's x scale (the window's aspect) carries.
void sceneCamera(kit::World& world, glm::vec3 position, float aspect);
// The overlay camera: orthographic -1..1, x stretched by the aspect.
void overlayCamera(kit::World& world, float aspect);

// An OBJ model drawn with one of the game's lit programs: its MTL material's
// colours and texture, with the program swapped and a normal map added.
kit::Model* litModel(kit::World& world, kit::EntityHandle entity, const std::string& obj, const std::string& program,
                     const std::string& normalMap = "");
// The players' plane as the match draws it: planeShader, the player's colour
// texture, the plane normal map and a saturation of 0.25.
kit::Model* planeModel(kit::World& world, kit::EntityHandle entity, const std::string& colourTexture);
// An OBJ model with the materials of its MTL (stage, background: flatShader).
kit::Model* flatModel(kit::World& world, kit::EntityHandle entity, const std::string& obj);
// A tinted, faded quad (particles, shadows).
kit::Model* tintedQuad(kit::World& world, kit::EntityHandle entity, const std::string& texture, glm::vec3 colour,
                       float alpha, bool additive);
kit::Sprite* sprite(kit::World& world, kit::EntityHandle entity, const std::string& texture, float width, float height);
kit::Text* text(kit::World& world, const std::string& words, glm::vec3 origin, float size,
                glm::vec3 colour = glm::vec3(1.0f));

// Plain textures the gallery draws with (white, a grey checkerboard), written
// into the output directory and named relative to assets/.
void writeHelperTextures(const std::string& directory);
const std::string& whiteTexture();
const std::string& checkerTexture();

// Quarter turn about +Y: the model's nose (+Z) along +X.
glm::quat noseRight();

} // namespace gallery
