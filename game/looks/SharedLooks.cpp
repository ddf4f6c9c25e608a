#include "SharedLooks.h"

#include "engine/resources/Material.h"
#include "engine/resources/ResourceManagers.h"

#include <unordered_map>

namespace skyscuffle {

std::shared_ptr<kit::Material> sharedFlatMaterial(const std::string& texture)
{
    static std::unordered_map<std::string, std::shared_ptr<kit::Material>> shared;
    auto& material = shared[texture];
    if (!material) {
        material = std::make_shared<kit::Material>();
        material->setShaderProgram(kit::shaderProgramManager().prefetch("shaders/flatShader.txt"));
        // A gatling gun's stream of bullets is drawn many at a time.
        material->instancedProgram = kit::shaderProgramManager().prefetch("shaders/flatInstancedShader.txt");
        material->setTexture("diffuseTex", kit::textureManager().prefetch(texture));
    }
    return material;
}

} // namespace skyscuffle
