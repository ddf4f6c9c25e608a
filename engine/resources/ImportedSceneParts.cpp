#include "ImportedScene.h"
#include "Material.h"
#include "Mesh.h"
#include "ResourceManagers.h"
#include "ShaderProgram.h"
#include "Texture.h"
#include "VertexBuffer.h"

#include <GL/glew.h>

namespace kit {
namespace {

std::shared_ptr<Material> buildMaterial(const ImportedScene::Material* source, const std::string& directory,
                                        const std::string& program)
{
    auto material = std::make_shared<Material>();
    material->setShaderProgram(shaderProgramManager().getHandle(program));
    if (!source) {
        material->setUniform("usingDiffuseTex", false);
        material->setUniform("usingSpecularTex", false);
        return material;
    }
    for (const auto& [name, colour] : source->colours)
        material->setUniform(name, colour);
    if (source->shininess)
        material->setUniform("mat_shininess", *source->shininess);
    auto texture = [&](const std::string& file, const char* sampler, const char* flag) {
        material->setUniform(flag, !file.empty());
        if (file.empty())
            return;
        material->setTexture(sampler, textureManager().getHandle(directory + file));
    };
    texture(source->diffuseTexture, "diffuseTex", "usingDiffuseTex");
    texture(source->specularTexture, "specularTex", "usingSpecularTex");
    return material;
}

} // namespace

void buildMeshParts(const ImportedScene& scene, const std::string& directory, const std::string& program, Mesh& mesh)
{
    std::vector<std::shared_ptr<Material>> materials;
    for (const auto& m : scene.materials)
        materials.push_back(buildMaterial(&m, directory, program));

    for (const ImportedScene::Mesh& part : scene.meshes) {
        std::vector<VertexAttribute> layout;
        std::vector<const void*> data;
        auto add = [&](const auto& values, int components, unsigned type, const char* name) {
            if (values.empty())
                return;
            layout.push_back(VertexAttribute{components, type, name});
            data.push_back(values.data());
        };
        add(part.positions, 3, GL_FLOAT, "pos");
        add(part.uvs, 2, GL_FLOAT, "UV");
        add(part.normals, 3, GL_FLOAT, "normal");
        add(part.tangents, 3, GL_FLOAT, "tangent");
        add(part.bitangents, 3, GL_FLOAT, "bitangent");
        add(part.boneIndices, 4, GL_INT, "index");
        add(part.boneWeights, 4, GL_FLOAT, "weight");

        auto buffer = VertexBuffer::create(layout);
        buffer->bind(GL_ARRAY_BUFFER);
        buffer->allocate(part.vertexCount, GL_STATIC_DRAW, GL_ARRAY_BUFFER);
        for (std::size_t i = 0; i < layout.size(); ++i)
            buffer->setAttributeData(GL_ARRAY_BUFFER, data[i], layout[i].name);

        auto material =
            part.material < materials.size() ? materials[part.material] : buildMaterial(nullptr, directory, program);
        mesh.parts.push_back(Mesh::Part{buffer, material});
    }
}

} // namespace kit
