#include "OffscreenView.h"
#include "SceneKit.h"
#include "Sheets.h"

#include "engine/core/World.h"
#include "engine/physics/Transform.h"
#include "engine/render/Model.h"
#include "engine/render/Sprite.h"
#include "engine/render/Text.h"
#include "engine/resources/Material.h"
#include "engine/resources/ResourceManagers.h"
#include "engine/resources/ShaderProgram.h"

#include <glm/gtc/quaternion.hpp>

#include <cmath>
#include <cstdio>

namespace gallery {
namespace {

constexpr float groundHeight = -52.49f; // where the game lays plane shadows

struct Flight {
    const char* texture;
    glm::vec2 position;
    bool noseRight;
    float pitch; // radians, nose up positive
    float roll;  // radians about the nose
};

glm::quat flightPose(const Flight& f)
{
    const glm::quat base = f.noseRight ? noseRight() : glm::angleAxis(-glm::half_pi<float>(), glm::vec3(0, 1, 0));
    const float pitch = f.noseRight ? f.pitch : -f.pitch;
    return glm::angleAxis(pitch, glm::vec3(0, 0, 1)) * base * glm::angleAxis(f.roll, glm::vec3(0, 0, 1));
}

void addPlane(kit::World& world, const Flight& f)
{
    const glm::vec3 at(f.position, 0.0f);
    const glm::quat pose = flightPose(f);
    planeModel(world, placed(world, at, "gameSpace", pose), std::string("models/playerPlane/") + f.texture);
    litModel(world, placed(world, at, "gameSpace", pose), "models/playerPlane/propellor.obj",
             "shaders/tanSpaceNormalMapping.txt");
    litModel(world, placed(world, at, "gameSpace", pose), "models/playerPlane/basicGuns.obj",
             "shaders/tanSpaceNormalMapping.txt", "models/playerPlane/Basic_Normal.png");
    // The shadow as ShadowOfObject sizes and fades it, lying on the ground.
    const float h = std::abs(f.position.y - groundHeight) / 135.0f;
    const glm::quat flat = glm::angleAxis(-glm::half_pi<float>(), glm::vec3(1, 0, 0));
    tintedQuad(world, placed(world, glm::vec3(f.position.x, groundHeight, 0), "gameSpace", flat, glm::vec3(10 - 9 * h)),
               "images/shadow.png", glm::vec3(0.0f), std::abs(h - 1.0f), false);
}

void addEffects(kit::World& world, glm::vec2 centre, float spread)
{
    // Bullets stretched along their flight, a pick-up of every kind, smoke and fire.
    for (int i = 0; i < 4; ++i) {
        const glm::vec3 at(centre.x - spread * 0.3f + i * 2.5f, centre.y + spread * 0.12f, 0.2f);
        tintedQuad(world, placed(world, at, "gameSpace", glm::quat(1, 0, 0, 0), glm::vec3(3.0f, 1.0f, 1.0f)),
                   "images/bullet.png", glm::vec3(1.0f), 1.0f, true);
    }
    const char* pickups[] = {"images/wild.png",    "images/bombs.png", "images/gatling.png",
                             "images/shotgun.png", "images/ram.png",   "images/health.png"};
    for (int i = 0; i < 6; ++i) {
        const glm::vec3 at(centre.x - 35.0f + 14.0f * static_cast<float>(i), centre.y - spread * 0.28f, 0.0f);
        sprite(world, placed(world, at, "gameSpace"), pickups[i], 12.0f, 12.0f);
    }
    for (int i = 0; i < 8; ++i) {
        const glm::vec3 at(centre.x + spread * 0.35f - i * 1.6f, centre.y + spread * 0.3f + i * 0.4f, -0.5f);
        tintedQuad(world, placed(world, at, "gameSpace", glm::quat(1, 0, 0, 0), glm::vec3(2.0f + i * 0.5f)),
                   "images/smokeParticle.png", glm::vec3(0.35f), 0.8f - i * 0.08f, false);
    }
    for (int i = 0; i < 5; ++i) {
        const glm::vec3 at(centre.x + spread * 0.36f - i * 0.7f, centre.y + spread * 0.3f + i * 0.15f, 0.3f);
        tintedQuad(world, placed(world, at, "gameSpace", glm::quat(1, 0, 0, 0), glm::vec3(1.5f - i * 0.2f)),
                   "images/fireParticle.png", glm::vec3(1.0f), 1.0f, true);
    }
    tintedQuad(world,
               placed(world, glm::vec3(centre + glm::vec2(-spread * 0.1f, spread * 0.2f), 0.4f), "gameSpace",
                      glm::quat(1, 0, 0, 0), glm::vec3(8.0f)),
               "images/explosionSub.png", glm::vec3(1.0f), 1.0f, true);
}

SheetImage stageView(float distance, glm::vec2 centre, int width, int height, const std::vector<Flight>& planes,
                     bool effects, bool walls)
{
    auto world = makeWorld();
    const float aspect = static_cast<float>(width) / static_cast<float>(height);
    sceneCamera(*world, glm::vec3(centre, distance), aspect);
    flatModel(*world,
              placed(*world, glm::vec3(4.5f, -52.5f, -66.0f), "gameSpace", glm::quat(1, 0, 0, 0), glm::vec3(1.5f)),
              "models/basicStage/basicStage.obj");
    for (const Flight& f : planes)
        addPlane(*world, f);
    if (effects)
        addEffects(*world, centre, distance * 0.9f);
    if (walls) {
        // The collision rectangles of the arena walls (x, y, width, height in world units).
        const glm::vec4 rects[5] = {{-111, 81, 222, 24},
                                    {-111, -75, 222, 24},
                                    {-115.5f, -66, 24, 162},
                                    {91.5f, -66, 24, 162},
                                    {-91.5f, -15, 4.5f, 81}};
        const glm::vec3 colours[5] = {{1, 0, 1}, {1, 0, 0}, {0, 1, 1}, {0, 0, 1}, {1, 1, 0}};
        // Drawn just in front of the walls' faces, shrunk towards the camera
        // so that they cover what the play plane (z = 0) shows.
        const float z = 6.5f, k = (distance - z) / distance;
        auto onPlay = [&](glm::vec2 p) { return glm::vec3(centre + (p - centre) * k, z); };
        for (int i = 0; i < 5; ++i) {
            const glm::vec4 r = rects[i];
            const glm::vec4 bars[4] = {{r.x, r.y, r.z, 0.6f},
                                       {r.x, r.y + r.w - 0.6f, r.z, 0.6f},
                                       {r.x, r.y, 0.6f, r.w},
                                       {r.x + r.z - 0.6f, r.y, 0.6f, r.w}};
            for (const glm::vec4& b : bars)
                tintedQuad(*world,
                           placed(*world, onPlay({b.x + b.z / 2, b.y + b.w / 2}), "gameSpace", glm::quat(1, 0, 0, 0),
                                  glm::vec3(b.z * k, b.w * k, 1)),
                           whiteTexture(), colours[i], 1.0f, false);
        }
    }
    overlayCamera(*world, aspect);
    char label[64];
    std::snprintf(label, sizeof label, "camera (%.0f, %.0f, %.0f)", centre.x, centre.y, distance);
    text(*world, label, glm::vec3(-aspect + 0.02f, 0.9f, 0), 0.06f, glm::vec3(1.0f));
    return OffscreenView::render(*world, width, height);
}

} // namespace

void stageViews(const std::string& directory)
{
    const std::vector<Flight> close = {
        {"playerFinalTexture.png", {-18, 8}, true, 0.2f, 0.3f},
        {"player_texture_green.png", {-4, 12}, false, -0.15f, -0.5f},
        {"player_texture_orange.png", {10, 6}, true, 0.5f, 0.9f},
        {"player_texture_red.png", {20, -6}, false, 0.1f, 0.2f},
        {"player_texture_pink.png", {-10, -8}, true, -0.4f, -0.2f},
        {"player_texture_yellow.png", {4, -12}, false, 0.3f, 1.4f},
    };
    std::vector<Flight> wide = close;
    const glm::vec2 spread[6] = {{-75, 50}, {-30, 70}, {40, 30}, {80, -20}, {-50, -35}, {20, -45}};
    for (int i = 0; i < 6; ++i)
        wide[i].position = spread[i];

    stageView(25.0f, {0, 0}, 1280, 720, close, true, false).save(directory + "/stage-25.png");
    stageView(25.0f, {-80, -40}, 1280, 720, close, false, false).save(directory + "/stage-25-corner.png");
    stageView(160.0f, {0, 15}, 1280, 720, wide, true, false).save(directory + "/stage-160.png");
    stageView(160.0f, {0, 15}, 800, 600, wide, false, false).save(directory + "/stage-160-4x3.png");
    stageView(160.0f, {0, 15}, 1280, 720, {}, false, true).save(directory + "/stage-walls.png");
    stageView(100.0f, {60, 60}, 1280, 720, wide, false, false).save(directory + "/stage-100-high.png");
}

} // namespace gallery
