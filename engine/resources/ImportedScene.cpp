#include "ImportedScene.h"

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtx/matrix_decompose.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <unordered_map>

namespace kit {
namespace {

glm::mat4 toGlm(const aiMatrix4x4& m)
{
    // assimp stores rows; glm columns.
    return glm::transpose(glm::mat4(m.a1, m.a2, m.a3, m.a4, m.b1, m.b2, m.b3, m.b4, m.c1, m.c2, m.c3, m.c4, m.d1,
                                    m.d2, m.d3, m.d4));
}

void appendVector(std::vector<float>& out, const aiVector3D& v, int components)
{
    out.push_back(v.x);
    out.push_back(v.y);
    if (components == 3)
        out.push_back(v.z);
}

ImportedScene::Material importMaterial(const aiMaterial& material)
{
    ImportedScene::Material m;
    const std::pair<const char*, std::string> colours[] = {
        {"$clr.ambient", "mat_ambient"}, {"$clr.diffuse", "mat_diffuse"},
        {"$clr.emissive", "mat_emissive"}, {"$clr.specular", "mat_specular"}};
    for (const auto& [key, uniform] : colours) {
        aiColor3D colour;
        if (material.Get(key, 0, 0, colour) == AI_SUCCESS)
            m.colours[uniform] = glm::vec3(colour.r, colour.g, colour.b);
    }
    float shininess = 0.0f;
    if (material.Get(AI_MATKEY_SHININESS, shininess) == AI_SUCCESS)
        m.shininess = shininess;
    aiString path;
    if (material.GetTextureCount(aiTextureType_DIFFUSE) > 0 &&
        material.GetTexture(aiTextureType_DIFFUSE, 0, &path) == AI_SUCCESS)
        m.diffuseTexture = path.C_Str();
    if (material.GetTextureCount(aiTextureType_SPECULAR) > 0 &&
        material.GetTexture(aiTextureType_SPECULAR, 0, &path) == AI_SUCCESS)
        m.specularTexture = path.C_Str();
    return m;
}

// The four strongest bone influences of every vertex, weights summing to 1.
struct Influences {
    std::vector<std::array<std::pair<float, int>, 4>> strongest;

    explicit Influences(std::size_t vertices) : strongest(vertices) {}

    void add(std::size_t vertex, int bone, float weight)
    {
        if (vertex >= strongest.size())
            return;
        auto& slots = strongest[vertex];
        auto weakest = std::min_element(slots.begin(), slots.end());
        if (weight > weakest->first)
            *weakest = {weight, bone};
    }
};

ImportedScene::Mesh importMesh(const aiMesh& mesh, bool skinned, const std::unordered_map<std::string, int>& boneIndex)
{
    ImportedScene::Mesh m;
    m.material = mesh.mMaterialIndex;
    const bool uvs = mesh.HasTextureCoords(0);
    const bool tangents = mesh.HasTangentsAndBitangents();

    Influences influences(mesh.mNumVertices);
    if (skinned) {
        for (unsigned b = 0; b < mesh.mNumBones; ++b) {
            const aiBone& bone = *mesh.mBones[b];
            auto found = boneIndex.find(bone.mName.C_Str());
            if (found == boneIndex.end())
                continue;
            for (unsigned w = 0; w < bone.mNumWeights; ++w)
                influences.add(bone.mWeights[w].mVertexId, found->second, bone.mWeights[w].mWeight);
        }
    }

    for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
        const aiFace& face = mesh.mFaces[f];
        if (face.mNumIndices != 3)
            continue; // points and lines left by triangulation
        for (unsigned c = 0; c < 3; ++c) {
            const unsigned v = face.mIndices[c];
            if (v >= mesh.mNumVertices)
                continue;
            ++m.vertexCount;
            if (mesh.HasPositions())
                appendVector(m.positions, mesh.mVertices[v], 3);
            if (uvs)
                appendVector(m.uvs, mesh.mTextureCoords[0][v], 2);
            if (mesh.HasNormals())
                appendVector(m.normals, mesh.mNormals[v], 3);
            if (tangents) {
                appendVector(m.tangents, mesh.mTangents[v], 3);
                appendVector(m.bitangents, mesh.mBitangents[v], 3);
            }
            if (skinned) {
                auto slots = influences.strongest[v];
                std::sort(slots.begin(), slots.end(), std::greater<>());
                float total = 0.0f;
                for (const auto& [weight, bone] : slots)
                    total += weight;
                for (const auto& [weight, bone] : slots) {
                    m.boneIndices.push_back(weight > 0.0f ? bone : 0);
                    m.boneWeights.push_back(total > 0.0f ? weight / total : 0.0f);
                }
            }
        }
    }
    return m;
}

// The last key at or before `tick`. Ticks only grow while a channel is
// sampled, so the search resumes from the previous answer (`from`).
template <class Key>
std::size_t keyBefore(const Key* keys, unsigned count, double tick, std::size_t& from)
{
    std::size_t i = from;
    while (i + 1 < count && keys[i + 1].mTime <= tick)
        ++i;
    from = i;
    return i;
}

struct Cursor {
    std::size_t rotation = 0;
    std::size_t position = 0;
};

glm::quat sampleRotation(const aiNodeAnim& channel, double tick, Cursor& cursor)
{
    if (channel.mNumRotationKeys == 0)
        return glm::quat(1, 0, 0, 0);
    const std::size_t i = keyBefore(channel.mRotationKeys, channel.mNumRotationKeys, tick, cursor.rotation);
    const aiQuatKey& a = channel.mRotationKeys[i];
    const aiQuatKey& b = channel.mRotationKeys[std::min<std::size_t>(i + 1, channel.mNumRotationKeys - 1)];
    const double span = b.mTime - a.mTime;
    const float t = span > 0.0 ? static_cast<float>(std::clamp((tick - a.mTime) / span, 0.0, 1.0)) : 0.0f;
    const glm::quat qa(a.mValue.w, a.mValue.x, a.mValue.y, a.mValue.z);
    const glm::quat qb(b.mValue.w, b.mValue.x, b.mValue.y, b.mValue.z);
    return glm::normalize(glm::slerp(qa, qb, t));
}

glm::vec3 samplePosition(const aiNodeAnim& channel, double tick, glm::vec3 fallback, Cursor& cursor)
{
    if (channel.mNumPositionKeys == 0)
        return fallback;
    const std::size_t i = keyBefore(channel.mPositionKeys, channel.mNumPositionKeys, tick, cursor.position);
    const aiVectorKey& a = channel.mPositionKeys[i];
    const aiVectorKey& b = channel.mPositionKeys[std::min<std::size_t>(i + 1, channel.mNumPositionKeys - 1)];
    const double span = b.mTime - a.mTime;
    const float t = span > 0.0 ? static_cast<float>(std::clamp((tick - a.mTime) / span, 0.0, 1.0)) : 0.0f;
    const glm::vec3 pa(a.mValue.x, a.mValue.y, a.mValue.z), pb(b.mValue.x, b.mValue.y, b.mValue.z);
    return pa + (pb - pa) * t;
}

// Bones in node order (parents first), with their bind pose and the
// transforms of the non-bone nodes above them.
void collectBones(const aiNode& node, int parentBone, const glm::mat4& sinceParent,
                  const std::unordered_map<std::string, glm::mat4>& offsets, SkeletonAnimationData& skeleton)
{
    const glm::mat4 local = toGlm(node.mTransformation);
    int self = parentBone;
    glm::mat4 below = sinceParent * local;
    if (auto found = offsets.find(node.mName.C_Str()); found != offsets.end()) {
        SkeletonAnimationData::Bone bone;
        bone.name = node.mName.C_Str();
        bone.parent = parentBone;
        bone.offset = found->second;
        bone.parentToNode = sinceParent;
        glm::vec3 skew;
        glm::vec4 perspective;
        glm::decompose(local, bone.bindScale, bone.bindRotation, bone.bindTranslation, skew, perspective);
        self = static_cast<int>(skeleton.bones.size());
        skeleton.bones.push_back(bone);
        below = glm::mat4(1.0f);
    }
    for (unsigned c = 0; c < node.mNumChildren; ++c)
        collectBones(*node.mChildren[c], self, below, offsets, skeleton);
}

void importAnimation(const aiScene& scene, SkeletonAnimationData& skeleton)
{
    const std::size_t boneCount = skeleton.bones.size();
    if (scene.mNumAnimations == 0 || boneCount == 0) {
        SkeletonAnimationData::Frame bind;
        for (const auto& bone : skeleton.bones)
            bind.rotations.push_back(bone.bindRotation);
        bind.rootPosition = boneCount ? skeleton.bones[0].bindTranslation : glm::vec3(0.0f);
        skeleton.frames.push_back(bind);
        return;
    }
    const aiAnimation& animation = *scene.mAnimations[0];
    const double ticksPerSecond = animation.mTicksPerSecond > 0.0 ? animation.mTicksPerSecond : 25.0;
    // Frames at the file's own rate when it is a frame rate; files that count
    // time in milliseconds (glTF) or seconds are sampled at 30 frames a second.
    const double framesPerSecond = ticksPerSecond >= 15.0 && ticksPerSecond <= 60.0 ? ticksPerSecond : 30.0;
    const double ticksPerFrame = ticksPerSecond / framesPerSecond;
    skeleton.frameDuration = static_cast<float>(1.0 / framesPerSecond);
    std::vector<const aiNodeAnim*> channels(boneCount, nullptr);
    for (unsigned c = 0; c < animation.mNumChannels; ++c) {
        for (std::size_t b = 0; b < boneCount; ++b) {
            if (skeleton.bones[b].name == animation.mChannels[c]->mNodeName.C_Str())
                channels[b] = animation.mChannels[c];
        }
    }
    // A broken duration is capped rather than trusted.
    const double lastFrame = std::max(0.0, animation.mDuration) / ticksPerFrame;
    const int frames = static_cast<int>(std::clamp(std::floor(lastFrame + 1e-6), 0.0, 100000.0)) + 1;
    std::vector<Cursor> cursors(boneCount);
    for (int f = 0; f < frames; ++f) {
        const double tick = f * ticksPerFrame;
        SkeletonAnimationData::Frame frame;
        for (std::size_t b = 0; b < boneCount; ++b)
            frame.rotations.push_back(channels[b] ? sampleRotation(*channels[b], tick, cursors[b])
                                                  : skeleton.bones[b].bindRotation);
        frame.rootPosition = channels[0] ? samplePosition(*channels[0], tick, skeleton.bones[0].bindTranslation,
                                                          cursors[0])
                                         : skeleton.bones[0].bindTranslation;
        skeleton.frames.push_back(std::move(frame));
    }
}

} // namespace

bool importScene(const std::string& fullPath, bool skinned, ImportedScene& scene, std::string& error)
{
    Assimp::Importer importer;
    const aiScene* imported =
        importer.ReadFile(fullPath, aiProcess_CalcTangentSpace | aiProcess_Triangulate | aiProcess_FlipUVs);
    if (!imported || !imported->mRootNode) {
        error = importer.GetErrorString();
        return false;
    }

    std::unordered_map<std::string, int> boneIndex;
    if (skinned) {
        std::unordered_map<std::string, glm::mat4> offsets;
        for (unsigned m = 0; m < imported->mNumMeshes; ++m) {
            const aiMesh& mesh = *imported->mMeshes[m];
            for (unsigned b = 0; b < mesh.mNumBones; ++b)
                offsets[mesh.mBones[b]->mName.C_Str()] = toGlm(mesh.mBones[b]->mOffsetMatrix);
        }
        collectBones(*imported->mRootNode, -1, glm::mat4(1.0f), offsets, scene.skeleton);
        scene.skeleton.globalInverse = glm::inverse(toGlm(imported->mRootNode->mTransformation));
        for (std::size_t b = 0; b < scene.skeleton.bones.size(); ++b)
            boneIndex[scene.skeleton.bones[b].name] = static_cast<int>(b);
        importAnimation(*imported, scene.skeleton);
    }

    for (unsigned m = 0; m < imported->mNumMaterials; ++m)
        scene.materials.push_back(importMaterial(*imported->mMaterials[m]));
    for (unsigned m = 0; m < imported->mNumMeshes; ++m)
        scene.meshes.push_back(importMesh(*imported->mMeshes[m], skinned, boneIndex));
    return true;
}

} // namespace kit
