#include "OffscreenView.h"
#include "SceneKit.h"
#include "Sheets.h"

#include "engine/core/World.h"
#include "engine/physics/Transform.h"
#include "engine/render/AnimatedModel.h"
#include "engine/render/Model.h"
#include "engine/render/Text.h"
#include "engine/resources/Material.h"
#include "engine/resources/ResourceManagers.h"

#include <glm/gtc/quaternion.hpp>

#include <filesystem>
#include <iostream>

namespace gallery {
namespace {

constexpr int tile = 320;

struct Entry {
    std::string label;
    std::string obj;
    std::string program; // empty: unlit flatShader
    std::string normalMap;
    float distance; // camera distance for the model to fill the tile
    glm::vec3 target{0.0f};
};

glm::quat threeQuarter()
{
    return glm::angleAxis(0.35f, glm::vec3(1, 0, 0)) * glm::angleAxis(-2.3f, glm::vec3(0, 1, 0));
}

SheetImage drawEntry(const Entry& e)
{
    auto world = makeWorld(glm::vec3(0.75f, 0.85f, 0.92f));
    sceneCamera(*world, glm::vec3(0, 0, e.distance), 1.0f);
    // Flat models (the backdrop) face the camera as the game shows them;
    // lit ones turn to show their shape. The target point lands on the axis.
    const glm::quat turn = e.program.empty() ? glm::quat(1, 0, 0, 0) : threeQuarter();
    const auto entity = placed(*world, -(turn * e.target), "gameSpace", turn);
    if (e.program.empty())
        flatModel(*world, entity, e.obj);
    else
        litModel(*world, entity, e.obj, e.program, e.normalMap);
    overlayCamera(*world, 1.0f);
    text(*world, e.label, glm::vec3(-1.05f, -0.95f, 0), 0.09f, glm::vec3(0.1f, 0.1f, 0.15f));
    return OffscreenView::render(*world, tile, tile);
}

// The mascot after `seconds` of its idle loop.
SheetImage drawMascot(float seconds, float turn)
{
    auto world = makeWorld(glm::vec3(0.75f, 0.85f, 0.92f));
    sceneCamera(*world, glm::vec3(0, 0, 6.0f), 1.0f);
    const std::string path = "models/mascot/mascot.dae";
    const auto entity = placed(*world, glm::vec3(0.0f), "gameSpace", glm::angleAxis(turn, glm::vec3(0, 1, 0)));
    auto mesh = kit::animatedMeshManager().getHandle(path);
    for (auto& part : mesh->mesh.parts) {
        part.material->setTexture("normalTex", kit::textureManager().getHandle("models/mascot/mascot_normals.png"));
        part.material->setUniform("usingNormalTex", true);
    }
    auto* model = world->emplaceComponent<kit::AnimatedModel>(entity, mesh, "default");
    (void)model;
    overlayCamera(*world, 1.0f);
    char label[64];
    std::snprintf(label, sizeof label, "mascot t=%.1fs", seconds);
    text(*world, label, glm::vec3(-1.05f, -0.95f, 0), 0.09f, glm::vec3(0.1f, 0.1f, 0.15f));
    const int steps = static_cast<int>(seconds * 30.0f);
    return OffscreenView::render(*world, tile, tile, steps + 1, steps > 0 ? seconds / static_cast<float>(steps) : 0.0f);
}

} // namespace

void modelSheet(const std::string& directory)
{
    const std::string lit = "shaders/tanSpaceNormalMapping.txt";
    const std::string textured = "shaders/texturedShaderProgram.txt";
    const std::vector<Entry> entries = {
        {"propellor", "models/playerPlane/propellor.obj", lit, "", 3.6f, {0, 0, 2.6f}},
        {"basicGuns",
         "models/playerPlane/basicGuns.obj",
         lit,
         "models/playerPlane/Basic_Normal.png",
         5.5f,
         {0, -0.6f, 1}},
        {"gatlingGun",
         "models/gatlingGun/gatlingGun.obj",
         lit,
         "models/gatlingGun/GatlingNormals.png",
         3.8f,
         {0, -0.9f, 0.8f}},
        {"shotgun", "models/shotgun/shotgun.obj", lit, "models/shotgun/Shotgun_Normal.png", 3.6f, {0, 0.2f, 0.8f}},
        {"smallBomb", "models/smallBomb/smallBomb.obj", textured, "", 2.8f, {0, -0.9f, 0}},
        {"waveGun", "models/waveGun/waveGun.obj", lit, "models/waveGun/WaveGun_Normal.png", 3.6f, {0, -1, 0.7f}},
        {"beamCannon",
         "models/beamCannon/beamCannon.obj",
         lit,
         "models/beamCannon/BeamCannon_Normal.png",
         3.8f,
         {0, -1, 0.6f}},
        {"harpoonGun",
         "models/harpoonGun/harpoonGun.obj",
         lit,
         "models/harpoonGun/HarpoonGun_Normal.png",
         3.6f,
         {0, -0.9f, 0.9f}},
        {"dronePlane", "models/dronePlane/dronePlane.obj", textured, "", 7.0f, {0, 0.2f, 0}},
        {"background", "models/background/background.obj", "", "", 150.0f, {0, 20, 0}},
    };
    std::vector<SheetImage> tiles;
    for (const Entry& e : entries) {
        if (std::filesystem::exists("assets/" + e.obj))
            tiles.push_back(drawEntry(e));
    }
    if (std::filesystem::exists("assets/models/mascot/mascot.dae")) {
        tiles.push_back(drawMascot(0.0f, 0.0f));
        tiles.push_back(drawMascot(0.3f, 0.0f));
        tiles.push_back(drawMascot(0.9f, 0.6f));
    }
    const int columns = 4;
    const int rows = static_cast<int>((tiles.size() + columns - 1) / columns);
    SheetImage sheet(columns * tile, rows * tile);
    for (std::size_t i = 0; i < tiles.size(); ++i)
        sheet.blit(tiles[i], static_cast<int>(i % columns) * tile, static_cast<int>(i / columns) * tile);
    sheet.save(directory + "/models.png");
}

void planeSheet(const std::string& directory)
{
    const char* colours[6][2] = {{"Blue", "playerFinalTexture.png"},      {"Green", "player_texture_green.png"},
                                 {"Orange", "player_texture_orange.png"}, {"Red", "player_texture_red.png"},
                                 {"Pink", "player_texture_pink.png"},     {"Yellow", "player_texture_yellow.png"}};
    SheetImage sheet(6 * tile, 3 * tile);
    for (int view = 0; view < 2; ++view)
        for (int i = 0; i < 6; ++i) {
            auto world = makeWorld();
            sceneCamera(*world, glm::vec3(0, 0, view == 0 ? 6.8f : 7.2f), 1.0f);
            // Row 0: as the match shows them, from the side, nose right and a
            // little rolled; row 1: from above and in front.
            const glm::quat pose = view == 0 ? noseRight() * glm::angleAxis(0.35f, glm::vec3(0, 0, 1)) : threeQuarter();
            const auto plane = placed(*world, glm::vec3(0.0f), "gameSpace", pose);
            planeModel(*world, plane, std::string("models/playerPlane/") + colours[i][1]);
            for (const char* part : {"models/playerPlane/propellor.obj", "models/playerPlane/basicGuns.obj"}) {
                const auto e = placed(*world, glm::vec3(0.0f), "gameSpace", pose);
                litModel(*world, e, part, "shaders/tanSpaceNormalMapping.txt",
                         std::string(part).find("Guns") != std::string::npos ? "models/playerPlane/Basic_Normal.png"
                                                                             : "");
            }
            overlayCamera(*world, 1.0f);
            text(*world, colours[i][0], glm::vec3(-1.05f, -0.95f, 0), 0.11f, glm::vec3(0.1f, 0.1f, 0.15f));
            sheet.blit(OffscreenView::render(*world, tile, tile), i * tile, view * tile);
        }
    // Row 2: the power-up weapons and the bomb on the plane, from the side,
    // as the match shows them (each weapon entity shares the plane's frame).
    const char* extras[6][3] = {
        {"models/gatlingGun/gatlingGun.obj", "models/gatlingGun/GatlingNormals.png", "gatling"},
        {"models/shotgun/shotgun.obj", "models/shotgun/Shotgun_Normal.png", "shotgun"},
        {"models/smallBomb/smallBomb.obj", "", "bomb"},
        {"models/gatlingGun/gatlingGun.obj", "models/gatlingGun/GatlingNormals.png", "gatling, rolled"},
        {"models/shotgun/shotgun.obj", "models/shotgun/Shotgun_Normal.png", "shotgun, rolled"},
        {"models/smallBomb/smallBomb.obj", "", "bomb, rolled"}};
    for (int i = 0; i < 6; ++i) {
        auto world = makeWorld();
        sceneCamera(*world, glm::vec3(0, 0, 6.8f), 1.0f);
        const glm::quat pose = noseRight() * glm::angleAxis(i < 3 ? 0.0f : 0.6f, glm::vec3(0, 0, 1));
        planeModel(*world, placed(*world, glm::vec3(0.0f), "gameSpace", pose),
                   std::string("models/playerPlane/") + colours[i][1]);
        litModel(*world, placed(*world, glm::vec3(0.0f), "gameSpace", pose), "models/playerPlane/propellor.obj",
                 "shaders/tanSpaceNormalMapping.txt");
        litModel(*world, placed(*world, glm::vec3(0.0f), "gameSpace", pose), extras[i][0],
                 extras[i][1][0] ? "shaders/tanSpaceNormalMapping.txt" : "shaders/texturedShaderProgram.txt",
                 extras[i][1]);
        overlayCamera(*world, 1.0f);
        text(*world, extras[i][2], glm::vec3(-1.05f, -0.95f, 0), 0.11f, glm::vec3(0.1f, 0.1f, 0.15f));
        sheet.blit(OffscreenView::render(*world, tile, tile), i * tile, 2 * tile);
    }
    sheet.save(directory + "/planes.png");
    saveColourVisionChecks(sheet, directory + "/planes");
}

void saveColourVisionChecks(const SheetImage& picture, const std::string& stem)
{
    // Luminance only, and the Machado et al. (2009) simulations of full
    // deuteranopia and protanopia (on sRGB values, which is close enough to
    // judge whether the liveries still differ).
    const float grey[3][3] = {{0.299f, 0.587f, 0.114f}, {0.299f, 0.587f, 0.114f}, {0.299f, 0.587f, 0.114f}};
    const float deuteranopia[3][3] = {
        {0.367322f, 0.860646f, -0.227968f}, {0.280085f, 0.672501f, 0.047413f}, {-0.011820f, 0.042940f, 0.968881f}};
    const float protanopia[3][3] = {
        {0.152286f, 1.052583f, -0.204868f}, {0.114503f, 0.786281f, 0.099216f}, {-0.003882f, -0.048116f, 1.051998f}};
    picture.recoloured(grey).save(stem + "-grey.png");
    picture.recoloured(deuteranopia).save(stem + "-deuteranopia.png");
    picture.recoloured(protanopia).save(stem + "-protanopia.png");
}

} // namespace gallery
