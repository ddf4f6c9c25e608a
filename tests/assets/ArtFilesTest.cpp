// The art files themselves: every path the game names exists; the OBJ files
// are triangles with normals and texture coordinates, within their budgets
// and where the game expects them (plane frame, muzzles, stage walls); the
// PNGs decode within the size limits, particles fade out at their edges.
#include "engine/resources/ObjLoader.h"

#include <gtest/gtest.h>
#include <lodepng.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

const std::filesystem::path assets = std::filesystem::path(SKYSCUFFLE_SOURCE_DIR) / "assets";

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

struct Bounds {
    glm::vec3 lo{1e9f};
    glm::vec3 hi{-1e9f};
    std::vector<glm::vec3> points;
    std::size_t triangles = 0;
};

// Parses an OBJ through the engine's reader; every face must be a triangle
// with a position, a texture coordinate and a normal at each corner.
Bounds readObj(const std::string& path)
{
    const std::string text = readFile(assets / path);
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("f ", 0) != 0)
            continue;
        std::istringstream corners(line.substr(2));
        std::string corner;
        int count = 0;
        while (corners >> corner) {
            ++count;
            EXPECT_EQ(std::count(corner.begin(), corner.end(), '/'), 2) << path << ": " << line;
            EXPECT_EQ(corner.find("//"), std::string::npos) << path << ": " << line;
        }
        EXPECT_EQ(count, 3) << path << ": " << line;
    }
    Bounds b;
    const kit::ObjData data = kit::parseObj(text, "");
    EXPECT_FALSE(data.groups.empty()) << path;
    for (const auto& [name, group] : data.groups) {
        EXPECT_EQ(group.positions.size() % 3, 0u);
        b.triangles += group.positions.size() / 3;
        for (std::size_t i = 0; i < group.positions.size(); ++i) {
            EXPECT_GT(glm::length(group.normals[i]), 0.5f) << path << " corner " << i;
            b.lo = glm::min(b.lo, group.positions[i]);
            b.hi = glm::max(b.hi, group.positions[i]);
            b.points.push_back(group.positions[i]);
        }
    }
    return b;
}

bool hasPointNear(const Bounds& b, glm::vec3 target, float within)
{
    for (const glm::vec3& p : b.points)
        if (glm::length(p - target) < within)
            return true;
    return false;
}

} // namespace

TEST(GameArtFiles, ThePlaneFitsItsFrameAndBudget)
{
    const Bounds plane = readObj("models/playerPlane/playerPlane.obj");
    EXPECT_LT(plane.triangles, 3000u);
    EXPECT_NEAR(plane.hi.z - plane.lo.z, 5.0f, 0.6f); // nose to tail
    EXPECT_GT(plane.hi.z, 2.0f);                      // the nose is +Z
    EXPECT_LT(plane.lo.z, -2.0f);
    EXPECT_GT(plane.hi.x - plane.lo.x, 6.0f); // wings along X
    EXPECT_NEAR(plane.hi.x, -plane.lo.x, 0.05f);
    EXPECT_GT(plane.hi.y, 0.9f); // canopy and fin on top
    const Bounds propeller = readObj("models/playerPlane/propellor.obj");
    // It turns about the Z axis: its corners balance around it.
    glm::vec3 mean(0.0f);
    for (const glm::vec3& p : propeller.points)
        mean += p / static_cast<float>(propeller.points.size());
    EXPECT_NEAR(mean.x, 0.0f, 0.05f);
    EXPECT_NEAR(mean.y, 0.0f, 0.05f);
    EXPECT_GT(propeller.lo.z, 2.0f); // at the nose
}

TEST(GameArtFiles, WeaponsHaveTheirMuzzlesWhereProjectilesSpawn)
{
    const Bounds guns = readObj("models/playerPlane/basicGuns.obj");
    for (float side : {-1.0f, 1.0f})
        EXPECT_TRUE(hasPointNear(guns, glm::vec3(2.0f * side, -0.65f, 2.0f), 0.2f)) << side;
    EXPECT_NEAR(guns.hi.z, 2.0f, 0.05f);
    const Bounds gatling = readObj("models/gatlingGun/gatlingGun.obj");
    EXPECT_TRUE(hasPointNear(gatling, glm::vec3(0.0f, -1.0f, 2.0f), 0.25f));
    EXPECT_NEAR(gatling.hi.z, 2.0f, 0.05f);
    const Bounds shotgun = readObj("models/shotgun/shotgun.obj");
    EXPECT_NEAR(shotgun.hi.z, 2.0f, 0.05f);
    float muzzleHeight = 0.0f;
    for (const glm::vec3& p : shotgun.points)
        if (p.z > 1.99f)
            muzzleHeight = p.y;
    EXPECT_NEAR(muzzleHeight, 0.2f, 0.3f);
    const Bounds bomb = readObj("models/smallBomb/smallBomb.obj");
    EXPECT_GT(bomb.hi.z - bomb.lo.z, bomb.hi.x - bomb.lo.x); // long axis +Z
    EXPECT_LT(bomb.hi.y, -0.4f);                             // hangs under the origin
    for (const char* path : {"models/waveGun/waveGun.obj", "models/beamCannon/beamCannon.obj",
                             "models/harpoonGun/harpoonGun.obj", "models/dronePlane/dronePlane.obj"})
        EXPECT_LT(readObj(path).triangles, 3000u) << path;
}

TEST(GameArtFiles, TheStageMatchesTheArenaWalls)
{
    const Bounds model = readObj("models/basicStage/basicStage.obj");
    EXPECT_LT(model.triangles, 40000u);
    // In world units, as the game places it: scaled 1.5 at (4.5, -52.5, -66).
    Bounds world;
    for (const glm::vec3& p : model.points)
        world.points.push_back(p * 1.5f + glm::vec3(4.5f, -52.5f, -66.0f));
    EXPECT_TRUE(hasPointNear(world, glm::vec3(0.0f, -52.5f, 0.0f), 15.0f)); // the ground under the play area
    EXPECT_TRUE(hasPointNear(world, glm::vec3(-91.5f, 0.0f, 0.0f), 25.0f)); // left wall's face
    EXPECT_TRUE(hasPointNear(world, glm::vec3(91.5f, 0.0f, 0.0f), 25.0f));  // right wall's face
    EXPECT_TRUE(hasPointNear(world, glm::vec3(-87.0f, 66.0f, 0.0f), 5.0f)); // the ledge's top corner
    EXPECT_TRUE(hasPointNear(world, glm::vec3(0.0f, 81.0f, 0.0f), 25.0f));  // the ceiling's underside
    for (const glm::vec3& p : world.points) {
        // Nothing inside the open play area in front of the planes.
        const bool inPlayArea = p.x > -87.0f && p.x < 91.5f && p.y > -51.0f && p.y < 81.0f;
        EXPECT_FALSE(inPlayArea && p.z > 0.5f) << p.x << " " << p.y << " " << p.z;
        // Within 1000 units of the game camera: 25 to 160 units in front of
        // the play plane, anywhere across the play area's width.
        float farthest = 0.0f;
        for (float x : {-91.5f, 91.5f})
            for (float z : {25.0f, 160.0f})
                farthest = std::max(farthest, glm::length(p - glm::vec3(x, 15.0f, z)));
        EXPECT_LT(farthest, 1000.0f) << p.x << " " << p.y << " " << p.z;
    }
    EXPECT_LT(readObj("models/background/background.obj").triangles, 40000u);
}

TEST(GameArtFiles, TheCanyonsArchIsOpenUnderItsSpan)
{
    const Bounds canyon = readObj("models/canyonStage/canyonStage.obj");
    EXPECT_LT(canyon.triangles, 40000u);
    EXPECT_LT(readObj("models/harbourStage/harbourStage.obj").triangles, 40000u);
    // Under the span (x -28..28, y -51..5) the arch's legs stand behind the
    // planes: nothing from z -16 to in front of the play but the river bed.
    bool legBehind = false;
    for (const glm::vec3& p : canyon.points) {
        const glm::vec3 world = p * 1.5f + glm::vec3(4.5f, -52.5f, -66.0f);
        const bool underSpan = world.x > -27.9f && world.x < 27.9f && world.y > -50.9f && world.y < 4.9f;
        EXPECT_FALSE(underSpan && world.z > -16.0f && world.z < 8.0f) << world.x << " " << world.y << " " << world.z;
        legBehind = legBehind || (underSpan && world.z < -16.0f && world.z > -45.0f && world.y > -10.0f);
    }
    EXPECT_TRUE(legBehind); // the legs hold the span up from behind
}

TEST(GameArtFiles, EveryPictureDecodesWithinItsLimits)
{
    const char* pictures[] = {"models/playerPlane/playerNormal.png",
                              "models/playerPlane/Basic_Normal.png",
                              "models/playerPlane/playerFinalTexture.png",
                              "models/playerPlane/player_texture_green.png",
                              "models/playerPlane/player_texture_orange.png",
                              "models/playerPlane/player_texture_red.png",
                              "models/playerPlane/player_texture_pink.png",
                              "models/playerPlane/player_texture_yellow.png",
                              "models/gatlingGun/GatlingNormals.png",
                              "models/shotgun/Shotgun_Normal.png",
                              "models/mascot/mascot_normals.png",
                              "images/bullet.png",
                              "images/dashParticle.png",
                              "images/explosionSub.png",
                              "images/fireParticle.png",
                              "images/smokeParticle.png",
                              "images/healthParticle.png",
                              "images/planeParticle1.png",
                              "images/powerUpParticle.png",
                              "images/IDParticle.png",
                              "images/shadow.png",
                              "images/wild.png",
                              "images/bombs.png",
                              "images/gatling.png",
                              "images/shotgun.png",
                              "images/ram.png",
                              "images/health.png",
                              "sprites/HUD/frame.png",
                              "sprites/HUD/health.png",
                              "sprites/HUD/plane1.png",
                              "sprites/HUD/plane2.png",
                              "sprites/HUD/plane3.png",
                              "sprites/HUD/plane5.png",
                              "sprites/HUD/plane6.png",
                              "sprites/HUD/plane7.png",
                              "sprites/menu/Cursor.png",
                              "sprites/menu/main/menuBackground.png",
                              "sprites/menu/main/optionQuickPlay.png",
                              "sprites/menu/main/optionOnline.png",
                              "sprites/menu/main/optionSound.png",
                              "sprites/menu/main/optionReplays.png",
                              "sprites/menu/main/optionCredits.png",
                              "sprites/menu/main/optionExit.png",
                              "sprites/menu/main/onon.png",
                              "sprites/menu/main/onoff.png",
                              "sprites/menu/main/offoff.png",
                              "sprites/menu/main/offon.png",
                              "sprites/menu/gameplay/powerupCursorOn.png",
                              "sprites/menu/gameplay/powerupCursorOff.png",
                              "sprites/menu/arenas/meadow.png",
                              "sprites/menu/arenas/canyon.png",
                              "sprites/menu/arenas/harbour.png",
                              "sprites/loadingScreen.png",
                              "sprites/ComingSoon.png",
                              "sprites/mascot_concept.png"};
    for (const char* path : pictures) {
        std::vector<unsigned char> pixels;
        unsigned w = 0, h = 0;
        ASSERT_EQ(lodepng::decode(pixels, w, h, (assets / path).string()), 0u) << path;
        EXPECT_LE(w, 1024u) << path;
        EXPECT_LE(h, 1024u) << path;
        const std::string name = path;
        if (name.rfind("sprites/HUD/", 0) == 0) {
            EXPECT_EQ(w * 4, h * 3) << path << ": the HUD sprites are 0.4 x 0.533";
        }
        if (name.rfind("sprites/menu/arenas/", 0) == 0) {
            // The join screen's pictures of the arenas: 320 x 200 and opaque.
            EXPECT_EQ(w, 320u) << path;
            EXPECT_EQ(h, 200u) << path;
            unsigned seeThrough = 0;
            for (std::size_t i = 3; i < pixels.size(); i += 4)
                seeThrough += pixels[i] != 255;
            EXPECT_EQ(seeThrough, 0u) << path;
        }
        if (name.find("Particle") != std::string::npos || name == "images/shadow.png" || name == "images/bullet.png") {
            // Soft edges: the outermost ring of pixels is fully transparent.
            unsigned opaqueEdge = 0;
            for (unsigned x = 0; x < w; ++x)
                opaqueEdge += pixels[x * 4 + 3] + pixels[((h - 1) * w + x) * 4 + 3];
            for (unsigned y = 0; y < h; ++y)
                opaqueEdge += pixels[y * w * 4 + 3] + pixels[(y * w + w - 1) * 4 + 3];
            EXPECT_EQ(opaqueEdge, 0u) << path;
        }
    }
    // The stages' atlases, each up to 2048 x 1024.
    for (const char* atlas : {"models/basicStage/stageAtlas.png", "models/canyonStage/canyonAtlas.png",
                              "models/harbourStage/harbourAtlas.png"}) {
        std::vector<unsigned char> pixels;
        unsigned w = 0, h = 0;
        ASSERT_EQ(lodepng::decode(pixels, w, h, (assets / atlas).string()), 0u) << atlas;
        EXPECT_LE(w, 2048u) << atlas;
        EXPECT_LE(h, 1024u) << atlas;
    }
}

TEST(GameArtFiles, TheFontDrawsThePlayersShapesInBytesOneToSixAndNoOtherControlByte)
{
    std::vector<unsigned char> pixels;
    unsigned w = 0, h = 0;
    ASSERT_EQ(lodepng::decode(pixels, w, h, (assets / "fonts/UbuntuMono.png").string()), 0u);
    ASSERT_EQ(w, 16u * 34u);
    ASSERT_EQ(h, 16u * 64u);
    // The alpha of a byte's cell, 34 x 64, row by row.
    const auto cell = [&](unsigned byte) {
        std::vector<unsigned char> alpha;
        for (unsigned y = 0; y < 64; ++y)
            for (unsigned x = 0; x < 34; ++x)
                alpha.push_back(pixels[(((byte / 16) * 64 + y) * w + (byte % 16) * 34 + x) * 4 + 3]);
        return alpha;
    };
    const auto ink = [](const std::vector<unsigned char>& alpha) {
        return std::count_if(alpha.begin(), alpha.end(), [](unsigned char a) { return a > 127; });
    };
    for (unsigned byte = 0; byte < 32; ++byte) {
        if (byte >= 1 && byte <= 6)
            EXPECT_GT(ink(cell(byte)), 200) << "byte " << byte << ": a shape about the size of a capital";
        else
            EXPECT_EQ(ink(cell(byte)), 0) << "byte " << byte << " (tab, line feed and the like) draws nothing";
    }
    // Six different shapes: any two differ in a good part of their pixels.
    for (unsigned a = 1; a <= 6; ++a)
        for (unsigned b = a + 1; b <= 6; ++b) {
            const std::vector<unsigned char> first = cell(a), second = cell(b);
            int differing = 0;
            for (std::size_t i = 0; i < first.size(); ++i)
                differing += (first[i] > 127) != (second[i] > 127);
            EXPECT_GT(differing, 100) << "bytes " << a << " and " << b;
        }
}

TEST(GameArtFiles, TheArtStaysWithinItsSizeBudget)
{
    std::uintmax_t total = 0;
    for (const char* folder : {"models", "images", "sprites", "buckets"})
        for (const auto& entry : std::filesystem::recursive_directory_iterator(assets / folder))
            if (entry.is_regular_file())
                total += entry.file_size();
    EXPECT_LT(total, 25u * 1024 * 1024);
}
