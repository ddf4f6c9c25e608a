#include "ModelLook.h"

#include "engine/core/World.h"
#include "engine/render/Model.h"
#include "engine/resources/Material.h"
#include "engine/resources/Mesh.h"
#include "engine/resources/ResourceManagers.h"

#include <cstdint>
#include <map>
#include <variant>

namespace skyscuffle {

std::string LookSpec::key() const
{
    std::string k = program + "|" + normalMap + "|" + diffuse;
    for (const auto& [name, value] : values) {
        k += "|" + name + ":" + std::to_string(value.index()) + ":";
        // The value's bytes: two looks differing by a value are two looks.
        std::visit([&k](const auto& v) { k.append(reinterpret_cast<const char*>(&v), sizeof v); }, value);
    }
    return k;
}

std::shared_ptr<kit::Material> lookMaterial(const std::string& meshPath, const kit::Material& fileMaterial,
                                            const LookSpec& spec)
{
    // A few models and looks for the whole run (six plane colours, the weapons).
    static std::map<std::string, std::shared_ptr<kit::Material>> shared;
    auto& material = shared[meshPath + "#" + spec.key()];
    if (material)
        return material;
    material = std::make_shared<kit::Material>();
    material->setShaderProgram(kit::shaderProgramManager().prefetch(spec.program));
    for (const auto& [name, value] : fileMaterial.uniforms.values())
        material->setUniform(name, value);
    for (const auto& [sampler, texture] : fileMaterial.textures)
        material->setTexture(sampler, texture);
    if (!spec.diffuse.empty()) {
        material->setTexture("diffuseTex", kit::textureManager().prefetch(spec.diffuse));
        material->setUniform("usingDiffuseTex", true);
    }
    material->setUniform("usingNormalTex", !spec.normalMap.empty());
    if (!spec.normalMap.empty())
        material->setTexture("normalTex", kit::textureManager().prefetch(spec.normalMap));
    for (const auto& [name, value] : spec.values)
        material->setUniform(name, value);
    return material;
}

ModelLook::ModelLook(LookSpec spec) : spec(std::move(spec))
{
    addClassTags<ModelLook>("modelLook");
}

void ModelLook::update(float)
{
    auto* model = world->getComponent<kit::Model>(entityId);
    if (!model) {
        delete world->removeComponent(this);
        return;
    }
    if (!model->mesh.isLoaded())
        return;
    const kit::Mesh& mesh = *model->mesh.resource;
    if (!mesh.parts.empty() && mesh.parts.front().material) {
        // The mesh cache's path for this mesh is not kept on the model: key by
        // the mesh object itself, which the cache keeps for the whole run.
        const std::string meshKey = std::to_string(reinterpret_cast<std::uintptr_t>(&mesh));
        model->material = lookMaterial(meshKey, *mesh.parts.front().material, spec);
    }
    delete world->removeComponent(this);
}

} // namespace skyscuffle
