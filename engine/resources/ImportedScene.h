#pragma once

#include "SkeletonAnimationData.h"

#include <glm/vec3.hpp>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kit {

// What the assimp loaders take from a scene file, as plain arrays, so that the
// main-thread half needs no importer: one entry per mesh, triangles expanded
// (three vertices per triangle).
struct ImportedScene {
    struct Mesh {
        std::size_t vertexCount = 0;
        std::vector<float> positions;  // 3 per vertex, empty when the mesh has none
        std::vector<float> uvs;        // 2 per vertex, first set
        std::vector<float> normals;    // 3 per vertex
        std::vector<float> tangents;   // 3 per vertex, with bitangents or not at all
        std::vector<float> bitangents; // 3 per vertex
        std::vector<int> boneIndices;  // 4 per vertex (skinned meshes)
        std::vector<float> boneWeights; // 4 per vertex, the four strongest, summing to 1
        unsigned material = 0;
    };
    struct Material {
        std::map<std::string, glm::vec3> colours; // "mat_ambient", "mat_diffuse", "mat_emissive", "mat_specular"
        std::optional<float> shininess;
        std::string diffuseTexture; // as the file names it
        std::string specularTexture;
    };

    std::vector<Mesh> meshes;
    std::vector<Material> materials;
    SkeletonAnimationData skeleton; // skinned imports only
};

class Mesh;

// Reads a scene with tangent space, triangulation and flipped texture
// coordinates. False, with the importer's message in `error`, on failure.
bool importScene(const std::string& fullPath, bool skinned, ImportedScene& scene, std::string& error);

// Main thread: one mesh part per imported mesh, with a material on the given
// shader program; textures are named relative to `directory`.
void buildMeshParts(const ImportedScene& scene, const std::string& directory, const std::string& program, Mesh& mesh);

} // namespace kit
