#include "ScreenScene.h"

#include "game/common/Tags.h"
#include "game/looks/GameLights.h"

#include "engine/core/Label.h"
#include "engine/core/World.h"
#include "engine/physics/ConstantRotation.h"
#include "engine/physics/Transform.h"
#include "engine/render/AnimatedModel.h"
#include "engine/render/AspectMatcher.h"
#include "engine/render/Camera.h"
#include "engine/render/Model.h"
#include "engine/render/Renderer.h"
#include "engine/resources/Material.h"
#include "engine/resources/ResourceManagers.h"
#include "engine/resources/ShaderProgram.h"
#include "engine/resources/Texture.h"

#include <GL/glew.h>

#include <vector>

namespace skyscuffle {

namespace screens {
namespace {

kit::EntityHandle placed(kit::World* world, const char* space, glm::vec3 position,
                         glm::quat rotation = glm::quat(1, 0, 0, 0), glm::vec3 scale = glm::vec3(1.0f),
                         kit::EntityHandle parent = {})
{
    const kit::EntityHandle e = world->createEntity();
    if (parent.world)
        world->emplaceComponent<kit::Transform>(e, parent, position, scale, rotation);
    else
        world->emplaceComponent<kit::Transform>(e, position, scale, rotation);
    world->addComponent(e, new kit::Label(space));
    return e;
}

kit::ResourceHandle<kit::Texture> texture(const std::string& path)
{
    return kit::textureManager().getHandle(path);
}

// A copy of an OBJ's first MTL material (colours and textures) to draw it
// with another program; the cached mesh keeps its own.
std::shared_ptr<kit::Material> materialOf(const std::string& obj)
{
    auto material = std::make_shared<kit::Material>();
    auto mesh = kit::objManager().get(obj);
    if (mesh && !mesh->parts.empty() && mesh->parts[0].material) {
        const kit::Material& source = *mesh->parts[0].material;
        for (const auto& [name, value] : source.uniforms.values())
            material->setUniform(name, value);
        for (const auto& [sampler, picture] : source.textures)
            material->setTexture(sampler, picture);
    }
    return material;
}

} // namespace

void addScene(kit::World* world, const Viewpoint& view)
{
    world->emplaceComponent<kit::Renderer>(world->createEntity(), std::vector<kit::TagId>{kit::tagId(tags::gameSpace)},
                                           gameLights(), false, GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT, 0.0f);
    const kit::EntityHandle camera = placed(world, tags::gameSpace, view.eye, view.turn);
    world->emplaceComponent<kit::AspectMatcher>(camera);
    world->emplaceComponent<kit::Camera>(camera, kit::sceneProjection());
}

Viewpoint addLandscape(kit::World* world)
{
    // The sky panel stands at z = -160 and spans x -274 to 289, up to y 272;
    // the ground lies at y -48 from z -160 to 40. From 215 units away the
    // 70-degree view, tilted 10 degrees down, reaches y 130 on the panel and
    // at 16:9 is 535 wide there; its lowest rays meet the ground 80 units
    // ahead, so the view is all landscape.
    const Viewpoint view{glm::vec3(7.0f, 30.0f, 55.0f), glm::angleAxis(-0.17f, glm::vec3(1, 0, 0))};
    addScene(world, view);
    addModel(world, "models/background/background.obj", "shaders/flatOpaqueShader.txt", "", glm::vec3(0.0f),
             glm::quat(1, 0, 0, 0), 1.0f);
    return view;
}

kit::EntityHandle addMascot(kit::World* world, glm::vec3 position, glm::quat rotation, float scale,
                            kit::EntityHandle parent)
{
    kit::shaderProgramManager().get("shaders/skinnedShader.txt");
    auto mesh = kit::animatedMeshManager().getHandle("models/mascot/mascot.dae");
    // The mascot's mesh is drawn nowhere else: its own materials take the normal map.
    for (auto& part : mesh->mesh.parts) {
        if (!part.material)
            continue;
        part.material->setTexture("normalTex", texture("models/mascot/mascot_normals.png"));
        part.material->setUniform("usingNormalTex", true);
    }
    const kit::EntityHandle e = placed(world, tags::gameSpace, position, rotation, glm::vec3(scale), parent);
    world->emplaceComponent<kit::AnimatedModel>(e, mesh, "default");
    return e;
}

kit::Model* addModel(kit::World* world, const std::string& obj, const std::string& program,
                     const std::string& normalMap, glm::vec3 position, glm::quat rotation, float scale,
                     kit::EntityHandle parent)
{
    auto material = materialOf(obj);
    material->setShaderProgram(kit::shaderProgramManager().getHandle(program));
    material->setUniform("usingNormalTex", !normalMap.empty());
    if (!normalMap.empty())
        material->setTexture("normalTex", texture(normalMap));
    const kit::EntityHandle e = placed(world, tags::gameSpace, position, rotation, glm::vec3(scale), parent);
    auto* model = world->emplaceComponent<kit::Model>(e, kit::objManager().getHandle(obj));
    model->material = material;
    return model;
}

kit::EntityHandle addTurntable(kit::World* world, glm::vec3 position, float speed, glm::quat tilt)
{
    const kit::EntityHandle e = placed(world, tags::gameSpace, position, tilt);
    world->emplaceComponent<kit::ConstantRotation>(e, glm::vec3(0, 1, 0), speed);
    return e;
}

} // namespace screens

} // namespace skyscuffle
