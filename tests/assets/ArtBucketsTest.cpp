// The game's art as the game loads it: both resource buckets through the
// engine's resource managers under a real OpenGL context, with nothing on the
// error stream; the mascot skinned and moving through its idle loop.
#include "engine/resources/AnimatedMesh.h"
#include "engine/resources/AsyncResourceManagerBase.h"
#include "engine/resources/ImportedScene.h"
#include "engine/resources/Material.h"
#include "engine/resources/Mesh.h"
#include "engine/resources/ResourceBucket.h"
#include "engine/resources/ResourceManagers.h"
#include "engine/resources/Texture.h"
#include "support/GlContext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

namespace {

// Runs the test from the repository root, where "assets/" is, and collects
// what the loaders print.
class GameArt : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(SKYSCUFFLE_SOURCE_DIR);
        ASSERT_TRUE(gl.ready()) << "no OpenGL context: run the suite through `make test`";
        out_ = std::cout.rdbuf(log.rdbuf());
        err_ = std::cerr.rdbuf(errors.rdbuf());
    }
    void TearDown() override
    {
        std::cout.rdbuf(out_);
        std::cerr.rdbuf(err_);
        std::filesystem::current_path(previous_);
    }

    // Loads a bucket as the loading screen does: a few milliseconds of
    // completions per frame of 120 Hz. Seconds taken, or -1 after 30 s.
    static double loadAsTheLoadingScreenDoes(kit::ResourceBucket& bucket)
    {
        using Clock = std::chrono::steady_clock;
        const auto start = Clock::now();
        while (!bucket.isLoaded()) {
            const auto frame = Clock::now();
            kit::AsyncResourceManagerBase::updateAll(std::chrono::milliseconds(4));
            std::this_thread::sleep_until(frame + std::chrono::microseconds(8333));
            if (Clock::now() - start > std::chrono::seconds(30))
                return -1.0;
        }
        return std::chrono::duration<double>(Clock::now() - start).count();
    }

    // Lines of the collected standard output that report a failure.
    std::string errorLines() const
    {
        std::istringstream lines(log.str());
        std::string line, found;
        for (std::getline(lines, line); lines; std::getline(lines, line)) {
            if (line.find("rror") != std::string::npos || line.find("Could not") != std::string::npos)
                found += line + "\n";
        }
        return found;
    }

    test::GlContext gl{64, 64};
    std::ostringstream log;
    std::ostringstream errors;

private:
    std::filesystem::path previous_;
    std::streambuf* out_ = nullptr;
    std::streambuf* err_ = nullptr;
};

// Every entry of a loaded bucket that is a texture has pixels, every mesh parts.
void expectEveryEntryUsable(const std::string& bucketPath)
{
    std::ifstream file("assets/" + bucketPath);
    for (const auto& [type, path] : kit::parseResourceBucket(file)) {
        EXPECT_TRUE(std::filesystem::exists("assets/" + path)) << path;
        if (type == "texture") {
            const auto texture = kit::textureManager().get(path);
            EXPECT_GT(texture->width, 0.0f) << path;
            EXPECT_GT(texture->height, 0.0f) << path;
        } else if (type == "obj") {
            const auto mesh = kit::objManager().get(path);
            EXPECT_FALSE(mesh->parts.empty()) << path;
            for (const auto& part : mesh->parts) {
                ASSERT_TRUE(part.material) << path;
                for (const auto& [sampler, texture] : part.material->textures)
                    EXPECT_GT(texture->width, 0.0f) << path << " " << sampler;
            }
        }
    }
}

} // namespace

TEST_F(GameArt, TheMatchBucketLoadsCompletelyWithoutErrors)
{
    // The loading screen has compiled these and loaded the font before it starts the bucket.
    kit::shaderProgramManager().get("shaders/flatShader.txt");
    kit::shaderProgramManager().get("shaders/colorizedTextShader.txt");
    kit::textureManager().get("fonts/UbuntuMono.png");

    kit::ResourceBucket bucket = kit::loadResourceBucket("buckets/gameWorld.txt");
    EXPECT_GE(bucket.size(), 50u);
    const double seconds = loadAsTheLoadingScreenDoes(bucket);
    ASSERT_GE(seconds, 0.0) << "the bucket never finished loading";
    std::fprintf(stderr, "buckets/gameWorld.txt: %zu resources loaded in %.3f s\n", bucket.size(), seconds);
    // How fast is measured by the load-measuring program, not here: a test
    // only makes sure that loading ends (a sanitizer build on a busy machine
    // takes many times longer than the game does).
    EXPECT_LT(seconds, 120.0);
    expectEveryEntryUsable("buckets/gameWorld.txt");
    EXPECT_EQ(errors.str(), "");
    EXPECT_EQ(errorLines(), "");
}

TEST_F(GameArt, TheMainMenuBucketLoadsWithoutErrors)
{
    kit::ResourceBucket bucket = kit::loadResourceBucket("buckets/mainMenuBackground.txt");
    EXPECT_GE(bucket.size(), 12u);
    ASSERT_GE(loadAsTheLoadingScreenDoes(bucket), 0.0);
    expectEveryEntryUsable("buckets/mainMenuBackground.txt");
    EXPECT_EQ(errors.str(), "");
    EXPECT_EQ(errorLines(), "");
}

TEST_F(GameArt, TheCreditsModelsLoadWithoutErrors)
{
    for (const char* path :
         {"models/waveGun/waveGun.obj", "models/beamCannon/beamCannon.obj", "models/harpoonGun/harpoonGun.obj",
          "models/dronePlane/dronePlane.obj", "models/background/background.obj"}) {
        const auto mesh = kit::objManager().get(path);
        EXPECT_FALSE(mesh->parts.empty()) << path;
        for (const auto& part : mesh->parts) {
            ASSERT_TRUE(part.material) << path;
            ASSERT_NE(part.material->texture("diffuseTex"), nullptr) << path;
            EXPECT_GT((*part.material->texture("diffuseTex"))->width, 0.0f) << path; // the backdrop's shared atlas
        }
    }
    EXPECT_EQ(errors.str(), "");
    EXPECT_EQ(errorLines(), "");
}

TEST_F(GameArt, TheMascotLoadsSkinnedWithAnIdleLoop)
{
    const auto mascot = kit::animatedMeshManager().get("models/mascot/mascot.dae");
    EXPECT_EQ(errors.str(), "");
    EXPECT_EQ(errorLines(), "");
    ASSERT_FALSE(mascot->mesh.parts.empty());
    for (const auto& part : mascot->mesh.parts) {
        const auto* diffuse = part.material->texture("diffuseTex");
        ASSERT_NE(diffuse, nullptr);
        EXPECT_GT((*diffuse)->width, 0.0f);
    }
    EXPECT_GE(mascot->skeleton.bones.size(), 3u);
    const float loop = static_cast<float>(mascot->skeleton.frames.size() - 1) * mascot->skeleton.frameDuration;
    EXPECT_GE(loop, 2.0f);
    const auto segment = mascot->segments.find("default");
    ASSERT_NE(segment, mascot->segments.end());
    EXPECT_TRUE(segment->second.loop);
}

TEST_F(GameArt, TheMascotsVerticesMoveBetweenFramesOfItsLoop)
{
    kit::ImportedScene scene;
    std::string error;
    ASSERT_TRUE(kit::importScene("assets/models/mascot/mascot.dae", true, scene, error)) << error;
    ASSERT_FALSE(scene.meshes.empty());
    const kit::ImportedScene::Mesh& mesh = scene.meshes[0];
    ASSERT_EQ(mesh.boneIndices.size(), mesh.vertexCount * 4);
    EXPECT_FALSE(mesh.normals.empty());
    EXPECT_FALSE(mesh.uvs.empty());

    auto posed = [&](int frame) {
        std::vector<glm::mat4> bones;
        scene.skeleton.pose(frame, bones);
        std::vector<glm::vec3> out;
        for (std::size_t v = 0; v < mesh.vertexCount; ++v) {
            const glm::vec4 p(mesh.positions[v * 3], mesh.positions[v * 3 + 1], mesh.positions[v * 3 + 2], 1.0f);
            glm::vec4 sum(0.0f);
            for (int k = 0; k < 4; ++k) {
                const int bone = mesh.boneIndices[v * 4 + k];
                sum += mesh.boneWeights[v * 4 + k] * (bones.at(static_cast<std::size_t>(bone)) * p);
            }
            out.emplace_back(sum);
        }
        return out;
    };
    const auto first = posed(0);
    const auto later = posed(static_cast<int>(scene.skeleton.frames.size() / 4));
    float moved = 0.0f;
    for (std::size_t v = 0; v < first.size(); ++v)
        moved = std::max(moved, glm::length(later[v] - first[v]));
    EXPECT_GT(moved, 0.05f); // world units: the wings flap, the body bobs
    // The bind pose stays whole: frame 0 keeps every vertex near where the file puts it.
    float drift = 0.0f;
    for (std::size_t v = 0; v < first.size(); ++v)
        drift = std::max(drift, glm::length(first[v] - glm::vec3(mesh.positions[v * 3], mesh.positions[v * 3 + 1],
                                                                 mesh.positions[v * 3 + 2])));
    EXPECT_LT(drift, 0.5f);
}
