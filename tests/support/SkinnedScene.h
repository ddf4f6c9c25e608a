#pragma once

#include <assimp/Exporter.hpp>
#include <assimp/scene.h>

#include <memory>
#include <numbers>
#include <string>

namespace test {

// root -> boneA (at y = 1) -> boneB (at y = 1 above A); a triangle whose first
// vertex follows A, last follows B and middle both. boneB turns a quarter
// about z over ten ticks (ten ticks per second).
inline std::unique_ptr<aiScene> skinnedScene()
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

// Writes the scene as glTF (assimp 5.2 cannot read back the skinned COLLADA it writes).
inline bool writeSkinnedScene(const std::string& path)
{
    const auto scene = skinnedScene();
    Assimp::Exporter exporter;
    return exporter.Export(scene.get(), "gltf2", path) == AI_SUCCESS;
}

} // namespace test
