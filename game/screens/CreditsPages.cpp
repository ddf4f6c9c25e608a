#include "CreditsPages.h"

#include "game/screens/ScreenFooter.h"
#include "game/screens/ScreenScene.h"

#include "game/looks/TextScale.h"
#include "game/widgets/Overlay.h"
#include "game/widgets/Panel.h"
#include "game/widgets/TextFit.h"

#include "engine/core/Translation.h"
#include "engine/core/World.h"
#include "engine/render/Model.h"
#include "engine/resources/Material.h"
#include "engine/resources/ResourceManagers.h"

#include <glm/gtc/quaternion.hpp>

#include <algorithm>
#include <string>
#include <vector>

namespace skyscuffle {

namespace {

const std::string normalMapped = "shaders/tanSpaceNormalMapping.txt";
constexpr float spin = 0.6; // radians per second

// A slight lean towards the camera shows the models' tops as they turn.
glm::quat lean()
{
    return glm::angleAxis(0.3f, glm::vec3(1, 0, 0));
}

struct Turned {
    std::string obj;
    std::string normalMap;
    glm::vec3 centre; // the model's middle in its own frame (weapons sit where they hang on the plane)
    float scale = 1.4f;
};

void footer(kit::World* world, int page)
{
    screens::addContinueFooter(world, 0.16f, 1.7f, kit::tr("Press Enter or (A) to continue"),
                               std::to_string(page + 1) + " / 6");
}

// A title and a sentence in two lines on a panel at the top. At a larger
// text size the panel takes the window's width; where the lines are still
// too long the sentence is broken anew into as many as it needs, and the
// panel grows down to hold them, its words a little smaller where they would
// reach the footer.
void words(kit::World* world, int page, const char* title, const char* first, const char* second)
{
    constexpr float top = 0.94f;
    const float scale = textScale();
    const float width = scale > 1.0f ? 2.52f : 2.0f, centre = scale > 1.0f ? 0.0f : -0.26f;
    const float left = centre - width * 0.5f + 0.06f, right = centre + width * 0.5f - widgets::panelMargin;
    const float lowest = screens::footerTop() + 0.03f;
    std::vector<widgets::PanelLine> shown;
    float bottom = top;
    for (float fit = 1.0f; fit > widgets::TextFit::smallest - 0.05f; fit -= 0.1f) {
        const float size = 0.065f * scale * fit, titleSize = 0.13f * scale * fit, step = size * 1.38f;
        std::vector<std::string> lines{kit::tr(first), kit::tr(second)};
        const auto fits = [&](const std::string& line) { return widgets::fittedSize(line, left, right, size) >= size; };
        if (!std::all_of(lines.begin(), lines.end(), fits))
            lines = widgets::wrapWords(lines[0] + " " + lines[1], right - left, size);
        shown.clear();
        float y = top - 0.03f - titleSize;
        for (const std::string& line : widgets::wrapWords(kit::tr(title), right - left, titleSize)) {
            shown.push_back({line, glm::vec2(left, y), titleSize, widgets::titleColour});
            y -= titleSize * 1.1f;
        }
        y += titleSize * 1.1f - 0.075f * scale * fit - size;
        for (const std::string& line : lines) {
            shown.push_back({line, glm::vec2(left, y), size});
            y -= step;
        }
        bottom = y + step - 0.05f;
        if (bottom >= lowest)
            break;
    }
    widgets::addPanel(world, widgets::Box::spanning(centre, width, top, bottom), shown);
    footer(world, page);
}

// The thanks over the mascot's concept, on as many lines as the player's
// text size needs.
void thanks(kit::World* world)
{
    constexpr float left = -0.93f, right = 0.98f - widgets::panelMargin, top = 0.87f;
    const float size = 0.1f * textScale();
    std::vector<widgets::PanelLine> lines;
    float y = top - 0.05f - size;
    for (const std::string& line :
         widgets::wrapWords(kit::tr("Thank you for the mascot concept!"), right - left, size)) {
        lines.push_back({line, glm::vec2(left, y), size, widgets::titleColour});
        y -= size * 1.3f;
    }
    widgets::addPanel(world, widgets::Box::spanning(0.0f, 1.96f, top, y + size * 1.3f - 0.05f), lines);
}

// Three models side by side before the landscape, each turning on the spot
// (11 units ahead, where 7.7 units are one overlay unit).
void threeTurning(kit::World* world, const Turned (&models)[3])
{
    const screens::Viewpoint view = screens::addLandscape(world);
    for (int i = 0; i < 3; ++i) {
        const auto table = screens::addTurntable(world, view.at(glm::vec3(-6.5f + 6.5f * float(i), -0.8f, -11.0f)),
                                                 spin * (i == 1 ? -1.0f : 1.0f), view.turn * lean());
        screens::addModel(world, models[i].obj, normalMapped, models[i].normalMap, -models[i].centre * models[i].scale,
                          glm::quat(1, 0, 0, 0), models[i].scale, table);
    }
}

void planes(kit::World* world)
{
    // The stage where the match puts it, seen from the match camera's distance.
    screens::addScene(world, screens::Viewpoint{glm::vec3(0.0f, 0.0f, 100.0f)});
    screens::addModel(world, "models/basicStage/basicStage.obj", "shaders/flatOpaqueShader.txt", "",
                      glm::vec3(4.5f, -52.5f, -66.0f), glm::quat(1, 0, 0, 0), 1.5f);

    const auto mascot = screens::addTurntable(world, glm::vec3(-10.0f, -3.5f, 78.0f), spin);
    screens::addMascot(world, glm::vec3(0.0f), glm::quat(1, 0, 0, 0), 1.8f, mascot);

    const auto plane = screens::addTurntable(world, glm::vec3(0.0f, -3.0f, 78.0f), -spin, lean());
    kit::Model* body =
        screens::addModel(world, "models/playerPlane/playerPlane.obj", "shaders/planeShader.txt",
                          "models/playerPlane/playerNormal.png", glm::vec3(0.0f), glm::quat(1, 0, 0, 0), 1.6f, plane);
    body->material->setTexture("diffuseTex",
                               kit::textureManager().getHandle("models/playerPlane/playerFinalTexture.png"));
    body->material->setUniform("saturation", 0.25f);
    screens::addModel(world, "models/playerPlane/propellor.obj", normalMapped, "", glm::vec3(0.0f),
                      glm::quat(1, 0, 0, 0), 1.6f, plane);

    const auto drone = screens::addTurntable(world, glm::vec3(10.5f, -3.0f, 78.0f), spin, lean());
    screens::addModel(world, "models/dronePlane/dronePlane.obj", "shaders/texturedShaderProgram.txt", "",
                      glm::vec3(0.0f), glm::quat(1, 0, 0, 0), 1.4f, drone);
}

} // namespace

void showCreditsPage(kit::World* world, int page)
{
    switch (page) {
    case 0: {
        const Turned arsenal[3] = {
            {"models/waveGun/waveGun.obj", "models/waveGun/WaveGun_Normal.png", {0, -1, 0.7f}},
            {"models/beamCannon/beamCannon.obj", "models/beamCannon/BeamCannon_Normal.png", {0, -1, 0.6f}},
            {"models/gatlingGun/gatlingGun.obj", "models/gatlingGun/GatlingNormals.png", {0, -0.9f, 0.8f}},
        };
        threeTurning(world, arsenal);
        words(world, page, kit::trLater("Aircraft and weapons"),
              kit::trLater("The prototype arsenal: wave gun, beam cannon"),
              kit::trLater("and gatling gun, modelled and painted by tools/art"));
        break;
    }
    case 1: {
        const Turned guns[3] = {
            // A pair four units apart, one under each wing: smaller, to keep within the window.
            {"models/playerPlane/basicGuns.obj", "models/playerPlane/Basic_Normal.png", {0, -0.6f, 1}, 0.9f},
            {"models/shotgun/shotgun.obj", "models/shotgun/Shotgun_Normal.png", {0, 0.2f, 0.8f}},
            {"models/harpoonGun/harpoonGun.obj", "models/harpoonGun/HarpoonGun_Normal.png", {0, -0.9f, 0.9f}},
        };
        threeTurning(world, guns);
        words(world, page, kit::trLater("Aircraft and weapons"),
              kit::trLater("The planes' guns: wing guns, shotgun and"),
              kit::trLater("harpoon gun, with their normal maps"));
        break;
    }
    case 2:
        screens::addLandscape(world);
        words(world, page, kit::trLater("Stage and backdrop"),
              kit::trLater("Sky, clouds, hills and trees, painted into"),
              kit::trLater("one atlas by the stage generator of tools/art"));
        break;
    case 3:
        screens::addLandscape(world);
        words(world, page, kit::trLater("Sound, music and code"),
              kit::trLater("Every sound and the music synthesised by tools/sound;"),
              kit::trLater("the engine and the game written in C++20"));
        break;
    case 4:
        planes(world);
        words(world, page, kit::trLater("Mascot and aircraft"),
              kit::trLater("Scuff the mascot, the planes, the drone and the"),
              kit::trLater("stage: modelled, rigged and animated by tools/art"));
        break;
    case 5:
        screens::addLandscape(world);
        widgets::addPicture(world, "sprites/mascot_concept.png", glm::vec2(0.0f, 0.02f), glm::vec2(1.6f, 1.2f));
        thanks(world);
        footer(world, page);
        break;
    default:
        break;
    }
    widgets::addOverlay(world, false);
}

} // namespace skyscuffle
