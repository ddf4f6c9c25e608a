#include "OffscreenView.h"
#include "SceneKit.h"
#include "Sheets.h"

#include "game/screens/MainMenuLayout.h"
#include "game/widgets/PictureMenu.h"

#include "engine/core/World.h"
#include "engine/physics/Transform.h"
#include "engine/render/Model.h"
#include "engine/render/Sprite.h"
#include "engine/render/Text.h"
#include "engine/resources/Material.h"
#include "engine/resources/Mesh.h"
#include "engine/resources/ResourceManagers.h"

#include <cmath>

namespace gallery {
namespace {

// A full-window picture as the menus show it: a unit sprite scaled (2, 2)
// and stretched by the window's aspect.
void backdrop(kit::World& world, const std::string& path, float aspect)
{
    sprite(world, placed(world, glm::vec3(0, 0, -0.5f), "hudSpace", glm::quat(1, 0, 0, 0), glm::vec3(2 * aspect, 2, 1)),
           path, 1.0f, 1.0f);
}

// One player's gauge: icon, health ring (the radial bar program) and frame,
// all the icon's size, and the score below right.
void gauge(kit::World& world, float aspect, int place, const std::string& icon, float health, const char* score)
{
    const glm::vec3 at(aspect * (static_cast<float>(place) * 0.5f - 0.75f), -0.76f, 0.0f);
    sprite(world, placed(world, at, "hudSpace"), icon, 0.4f, 0.533f);
    auto* ring =
        sprite(world, placed(world, at + glm::vec3(0, 0, 0.01f), "hudSpace"), "sprites/HUD/health.png", 0.4f, 0.533f);
    kit::Material& bar = *ring->mesh->parts[0].material;
    bar.setShaderProgram(kit::shaderProgramManager().getHandle("shaders/radialBarShader.txt"));
    bar.setUniform("minAngle", glm::half_pi<float>());
    bar.setUniform("maxAngle", 4.2760568f);
    bar.setUniform("value", health / 10.0f);
    sprite(world, placed(world, at + glm::vec3(0, 0, 0.02f), "hudSpace"), "sprites/HUD/frame.png", 0.4f, 0.533f);
    text(world, score, at + glm::vec3(0.013f, -0.17f, 0.03f), 0.1f);
}

struct Player {
    const char* icon;
    const char* texture;
};

SheetImage hud(int width, int height, const Player (&players)[4])
{
    auto world = makeWorld();
    const float aspect = static_cast<float>(width) / static_cast<float>(height);
    sceneCamera(*world, glm::vec3(0, 0, 60), aspect);
    flatModel(*world,
              placed(*world, glm::vec3(4.5f, -52.5f, -66.0f), "gameSpace", glm::quat(1, 0, 0, 0), glm::vec3(1.5f)),
              "models/basicStage/basicStage.obj");
    for (int i = 0; i < 4; ++i) {
        const glm::quat pose = (i % 2 ? glm::angleAxis(-glm::half_pi<float>(), glm::vec3(0, 1, 0)) : noseRight());
        planeModel(*world, placed(*world, glm::vec3(-30 + 20 * i, 10 - 6 * i, 0), "gameSpace", pose),
                   std::string("models/playerPlane/") + players[i].texture);
    }
    overlayCamera(*world, aspect);
    const float health[4] = {10.0f, 6.5f, 3.0f, 1.0f};
    const char* scores[4] = {"  12", "   3", "  -1", "   0"};
    for (int i = 0; i < 4; ++i)
        gauge(*world, aspect, i, std::string("sprites/HUD/") + players[i].icon, health[i], scores[i]);
    text(*world, " 2:05", glm::vec3(-0.16f, 0.8f, 0), 0.1f);
    return OffscreenView::render(*world, width, height);
}

SheetImage mainMenu(int width, int height, const char* soundPicture)
{
    auto world = makeWorld(glm::vec3(0.0f));
    const float aspect = static_cast<float>(width) / static_cast<float>(height);
    overlayCamera(*world, aspect);
    using namespace skyscuffle::mainMenuLayout;
    backdrop(*world, background, aspect);
    for (int i = 0; i < optionCount; ++i)
        sprite(*world, placed(*world, glm::vec3(optionAt(i), 0), "hudSpace"), folder + optionPictures[i], optionSize.x,
               optionSize.y);
    sprite(*world, placed(*world, glm::vec3(soundPictureX, optionAt(soundLine).y, 0), "hudSpace"),
           folder + soundPicture + ".png", soundPictureSize.x, soundPictureSize.y);
    // The cursor on the second option, its picture level with it.
    sprite(*world, placed(*world, glm::vec3(cursorX, optionAt(1).y, 0.1f), "hudSpace"), skyscuffle::menuCursorPicture,
           skyscuffle::menuCursorSize, skyscuffle::menuCursorSize);
    return OffscreenView::render(*world, width, height);
}

SheetImage fullScreen(int width, int height, const std::string& picture, const char* words)
{
    auto world = makeWorld(glm::vec3(0.0f));
    const float aspect = static_cast<float>(width) / static_cast<float>(height);
    overlayCamera(*world, aspect);
    backdrop(*world, picture, aspect);
    if (words)
        text(*world, words, glm::vec3(-0.8f, -0.6f, 0), 0.16f);
    return OffscreenView::render(*world, width, height);
}

} // namespace

void screenMockups(const std::string& directory)
{
    const Player first[4] = {{"plane3.png", "playerFinalTexture.png"},
                             {"plane6.png", "player_texture_red.png"},
                             {"plane5.png", "player_texture_yellow.png"},
                             {"plane7.png", "player_texture_pink.png"}};
    const Player second[4] = {{"plane2.png", "player_texture_green.png"},
                              {"plane1.png", "player_texture_orange.png"},
                              {"plane6.png", "player_texture_red.png"},
                              {"plane3.png", "playerFinalTexture.png"}};
    const SheetImage small = hud(800, 600, first);
    small.save(directory + "/hud-800x600.png");
    saveColourVisionChecks(small, directory + "/hud-800x600");
    const SheetImage others = hud(800, 600, second);
    others.save(directory + "/hud-800x600-b.png");
    saveColourVisionChecks(others, directory + "/hud-800x600-b");
    hud(1280, 720, first).save(directory + "/hud-1280x720.png");
    mainMenu(800, 600, "onon").save(directory + "/menu-800x600.png");
    mainMenu(1280, 720, "offoff").save(directory + "/menu-1280x720.png");
    fullScreen(800, 600, "sprites/loadingScreen.png", " 42%").save(directory + "/loading-800x600.png");
    fullScreen(1280, 720, "sprites/loadingScreen.png", "Press\nAnything").save(directory + "/loading-1280x720.png");
    fullScreen(800, 600, "sprites/ComingSoon.png", nullptr).save(directory + "/coming-soon.png");
    fullScreen(800, 600, "sprites/mascot_concept.png", nullptr).save(directory + "/mascot-concept.png");
}

} // namespace gallery
