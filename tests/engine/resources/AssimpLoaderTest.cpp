// The assimp loaders' import half on a skinned, animated scene built here and
// written out with assimp's own exporter (as glTF: assimp 5.2 cannot read back
// the skinned COLLADA it writes).
#include "engine/resources/ImportedScene.h"
#include "support/SkinnedScene.h"
#include "support/TempDirectory.h"

#include <assimp/Exporter.hpp>
#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

namespace {

class AssimpImport : public test::InTempDirectory {};

} // namespace

TEST_F(AssimpImport, SkinnedScenesKeepBonesWeightsAndFrames)
{
    ASSERT_TRUE(test::writeSkinnedScene("skinned.gltf"));

    kit::ImportedScene imported;
    std::string error;
    ASSERT_TRUE(kit::importScene("skinned.gltf", true, imported, error)) << error;
    ASSERT_EQ(imported.meshes.size(), 1u);
    const auto& mesh = imported.meshes[0];
    ASSERT_EQ(mesh.vertexCount, 3u);
    ASSERT_EQ(mesh.boneIndices.size(), 12u);
    ASSERT_EQ(mesh.boneWeights.size(), 12u);

    const auto& skeleton = imported.skeleton;
    ASSERT_EQ(skeleton.bones.size(), 2u);
    EXPECT_EQ(skeleton.bones[0].name, "boneA");
    EXPECT_EQ(skeleton.bones[1].parent, 0);
    // glTF counts time in milliseconds: one second sampled at 30 frames a second.
    EXPECT_NEAR(skeleton.frameDuration, 1.0f / 30.0f, 1e-6f);
    ASSERT_EQ(skeleton.frames.size(), 31u);

    // Weights sum to one; the strongest bone comes first.
    for (std::size_t v = 0; v < 3; ++v) {
        float total = 0.0f;
        for (std::size_t k = 0; k < 4; ++k)
            total += mesh.boneWeights[v * 4 + k];
        EXPECT_NEAR(total, 1.0f, 1e-5f) << "vertex " << v;
    }
    // The exporter may reorder vertices: find the one that follows boneB alone.
    int followsB = 0;
    for (std::size_t v = 0; v < 3; ++v)
        followsB += mesh.boneWeights[v * 4] > 0.99f && skeleton.bones[static_cast<std::size_t>(mesh.boneIndices[v * 4])].name == "boneB";
    EXPECT_EQ(followsB, 1);

    // The last frame turns boneB a quarter about z; frame 0 is the bind pose.
    const glm::quat turned = skeleton.frames[30].rotations[1];
    const glm::vec3 x = turned * glm::vec3(1, 0, 0);
    EXPECT_NEAR(x.y, 1.0f, 1e-3f);
    std::vector<glm::mat4> pose;
    skeleton.pose(0, pose);
    for (const glm::mat4& m : pose)
        for (int c = 0; c < 4; ++c)
            for (int r = 0; r < 4; ++r)
                EXPECT_NEAR(m[c][r], c == r ? 1.0f : 0.0f, 1e-4f); // bind pose: no movement
    // At the last frame, (1, 2, 0), one unit right of boneB's joint, turns to (0, 3, 0).
    skeleton.pose(30, pose);
    const glm::vec4 moved = pose[1] * glm::vec4(1, 2, 0, 1);
    EXPECT_NEAR(moved.x, 0.0f, 1e-3f);
    EXPECT_NEAR(moved.y, 3.0f, 1e-3f);
}

TEST_F(AssimpImport, StaticMeshesAndFailures)
{
    write("tri.obj", "mtllib tri.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvn 0 0 1\nusemtl shiny\nf 1/1/1 2/1/1 3/1/1\n");
    write("tri.mtl", "newmtl shiny\nKd 0.5 0.5 0.5\nKs 1 1 1\nNs 20\nmap_Kd skin.png\n");
    kit::ImportedScene scene;
    std::string error;
    ASSERT_TRUE(kit::importScene("tri.obj", false, scene, error)) << error;
    ASSERT_EQ(scene.meshes.size(), 1u);
    EXPECT_EQ(scene.meshes[0].vertexCount, 3u);
    EXPECT_EQ(scene.meshes[0].uvs.size(), 6u);
    EXPECT_EQ(scene.meshes[0].tangents.size(), 9u); // tangent space is computed
    EXPECT_TRUE(scene.meshes[0].boneIndices.empty());
    const auto& material = scene.materials.at(scene.meshes[0].material);
    EXPECT_EQ(material.colours.at("mat_diffuse"), glm::vec3(0.5f));
    EXPECT_EQ(material.diffuseTexture, "skin.png");
    ASSERT_TRUE(material.shininess.has_value());

    kit::ImportedScene nothing;
    EXPECT_FALSE(kit::importScene("missing.dae", false, nothing, error));
    EXPECT_FALSE(error.empty());
}
