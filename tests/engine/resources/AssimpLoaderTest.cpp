// The assimp loaders' import half on a skinned, animated scene built here and
// written out with assimp's own exporter (as glTF: assimp 5.2 cannot read back
// the skinned COLLADA it writes).
#include "engine/resources/ImportedScene.h"
#include "support/TempDirectory.h"

#include <assimp/Exporter.hpp>
#include <assimp/scene.h>
#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <numbers>

namespace {

// root -> boneA (at y = 1) -> boneB (at y = 1 above A); a triangle whose first
// vertex follows A, last follows B and middle both. boneB turns a quarter
// about z over ten ticks (ten ticks per second).
std::unique_ptr<aiScene> skinnedScene()
{
    auto scene = std::make_unique<aiScene>();
    scene->mRootNode = new aiNode("root");
    auto* boneA = new aiNode("boneA");
    auto* boneB = new aiNode("boneB");
    auto* holder = new aiNode("meshHolder");
    boneA->mTransformation = aiMatrix4x4::Translation(aiVector3D(0, 1, 0), boneA->mTransformation);
    boneB->mTransformation = aiMatrix4x4::Translation(aiVector3D(0, 1, 0), boneB->mTransformation);
    scene->mRootNode->addChildren(1, &boneA);
    boneA->addChildren(1, &boneB);
    scene->mRootNode->addChildren(1, &holder);
    holder->mNumMeshes = 1;
    holder->mMeshes = new unsigned[1]{0};

    scene->mNumMaterials = 1;
    scene->mMaterials = new aiMaterial*[1]{new aiMaterial};
    aiColor3D red(1, 0, 0);
    scene->mMaterials[0]->AddProperty(&red, 1, AI_MATKEY_COLOR_DIFFUSE);

    auto* mesh = new aiMesh;
    mesh->mPrimitiveTypes = aiPrimitiveType_TRIANGLE;
    mesh->mNumVertices = 3;
    mesh->mVertices = new aiVector3D[3]{{0, 1, 0}, {1, 1.5f, 0}, {0, 2, 0}};
    mesh->mNormals = new aiVector3D[3]{{0, 0, 1}, {0, 0, 1}, {0, 0, 1}};
    mesh->mNumFaces = 1;
    mesh->mFaces = new aiFace[1];
    mesh->mFaces[0].mNumIndices = 3;
    mesh->mFaces[0].mIndices = new unsigned[3]{0, 1, 2};
    mesh->mNumBones = 2;
    mesh->mBones = new aiBone*[2];
    const char* names[] = {"boneA", "boneB"};
    const float heights[] = {1.0f, 2.0f};
    for (int b = 0; b < 2; ++b) {
        auto* bone = new aiBone;
        bone->mName = names[b];
        bone->mOffsetMatrix = aiMatrix4x4::Translation(aiVector3D(0, -heights[b], 0), bone->mOffsetMatrix);
        bone->mNumWeights = 2;
        bone->mWeights = new aiVertexWeight[2];
        bone->mWeights[0] = aiVertexWeight(b == 0 ? 0 : 2, 1.0f);
        bone->mWeights[1] = aiVertexWeight(1, 0.5f);
        mesh->mBones[b] = bone;
    }
    scene->mNumMeshes = 1;
    scene->mMeshes = new aiMesh*[1]{mesh};

    auto* animation = new aiAnimation;
    animation->mName = "wave";
    animation->mDuration = 10.0;
    animation->mTicksPerSecond = 10.0;
    animation->mNumChannels = 1;
    animation->mChannels = new aiNodeAnim*[1];
    auto* channel = new aiNodeAnim;
    channel->mNodeName = "boneB";
    channel->mNumRotationKeys = 2;
    channel->mRotationKeys = new aiQuatKey[2]{
        aiQuatKey(0.0, aiQuaternion(1, 0, 0, 0)),
        aiQuatKey(10.0, aiQuaternion(aiVector3D(0, 0, 1), std::numbers::pi_v<float> / 2))};
    channel->mNumPositionKeys = 1;
    channel->mPositionKeys = new aiVectorKey[1]{aiVectorKey(0.0, aiVector3D(0, 1, 0))};
    channel->mNumScalingKeys = 1;
    channel->mScalingKeys = new aiVectorKey[1]{aiVectorKey(0.0, aiVector3D(1, 1, 1))};
    animation->mChannels[0] = channel;
    scene->mNumAnimations = 1;
    scene->mAnimations = new aiAnimation*[1]{animation};
    return scene;
}

class AssimpImport : public test::InTempDirectory {};

} // namespace

TEST_F(AssimpImport, SkinnedScenesKeepBonesWeightsAndFrames)
{
    const auto scene = skinnedScene();
    Assimp::Exporter exporter;
    ASSERT_EQ(exporter.Export(scene.get(), "gltf2", "skinned.gltf"), AI_SUCCESS) << exporter.GetErrorString();

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
