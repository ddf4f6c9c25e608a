#include "Particles.h"

#include "game/common/Tags.h"
#include "game/effects/ParticleLifeSpan.h"

#include "engine/core/Label.h"
#include "engine/core/World.h"
#include "engine/physics/Body.h"
#include "engine/physics/Transform.h"
#include "engine/render/Model.h"
#include "engine/resources/Material.h"
#include "engine/resources/ResourceManagers.h"

#include <unordered_map>

namespace skyscuffle {

std::shared_ptr<kit::Material> particleMaterial(const std::string& texture)
{
    // A handful of textures for the whole run; each material lives as long as
    // the cache of the textures and programs it names.
    static std::unordered_map<std::string, std::shared_ptr<kit::Material>> shared;
    auto& material = shared[texture];
    if (!material) {
        material = std::make_shared<kit::Material>();
        material->setShaderProgram(kit::shaderProgramManager().prefetch("shaders/colorizedFlatShader.txt"));
        // Hundreds of particles of one texture in a fight: drawn many at a time.
        material->instancedProgram = kit::shaderProgramManager().prefetch("shaders/colorizedFlatInstancedShader.txt");
        material->setTexture("diffuseTex", kit::textureManager().prefetch(texture));
        material->setUniform("color", glm::vec3(1.0f));
        material->setUniform("alpha", 1.0f);
    }
    return material;
}

kit::EntityHandle spawnParticle(kit::World& world, const ParticleSpec& spec)
{
    static const kit::ResourceHandle<kit::Mesh> quad = kit::objManager().prefetch("models/quad.obj");
    const kit::EntityHandle particle = world.createEntity();
    world.addComponent(particle, new kit::Label(tags::additiveBlending));
    world.addComponent(particle, new kit::Label(tags::gameSpace));
    world.addComponent(particle, new kit::Transform(spec.position, glm::vec3(spec.startScale)));
    world.addComponent(particle, new kit::Body(spec.velocity, 1.0f));
    auto* model = new kit::Model(quad, true);
    model->material = particleMaterial(spec.texture);
    model->setUniform("color", spec.tint);
    model->setUniform("alpha", spec.fadeIn > 0.0f ? 0.0f : spec.startAlpha);
    world.addComponent(particle, model);
    auto* life = new ParticleLifeSpan(spec.life, spec.startScale, spec.endScale, spec.startAlpha, spec.endAlpha);
    life->fadeIn = spec.fadeIn;
    world.addComponent(particle, life);
    return particle;
}

} // namespace skyscuffle
