#include "SceneKit.h"

#include "SheetImage.h"

#include "game/looks/GameLights.h"

#include "engine/core/Label.h"
#include "engine/core/World.h"
#include "engine/core/application/Application.h"
#include "engine/physics/Transform.h"
#include "engine/render/Camera.h"
#include "engine/render/Model.h"
#include "engine/render/Renderer.h"
#include "engine/render/Sprite.h"
#include "engine/render/Text.h"
#include "engine/resources/Material.h"
#include "engine/resources/ResourceManagers.h"
#include "engine/resources/ShaderProgram.h"

#include <GL/glew.h>

#include <cmath>
#include <filesystem>

using namespace skyscuffle;

namespace gallery {

namespace {
kit::Application* application = nullptr;
}

void useApplication(kit::Application* app)
{
    application = app;
}

std::shared_ptr<kit::World> makeWorld(glm::vec3 clearColour)
{
    auto world = std::make_shared<kit::World>();
    // The services an application hands to its worlds; the gallery draws its
    // worlds itself, one picture at a time, without switching between them.
    world->owner = application;
    world->window = application->window;
    world->renderState = application->glState;
    world->start();
    glClearColor(clearColour.r, clearColour.g, clearColour.b, 1.0f);
    world->emplaceComponent<kit::Renderer>(world->createEntity(), std::vector<kit::TagId>{kit::tagId("gameSpace")},
                                           gameLights(), false, GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT, 0.0f);
    world->emplaceComponent<kit::Renderer>(world->createEntity(), std::vector<kit::TagId>{kit::tagId("hudSpace")},
                                           kit::UniformSet{}, false, 0u, 1.0f);
    return world;
}

kit::EntityHandle placed(kit::World& world, glm::vec3 position, const char* space, glm::quat rotation, glm::vec3 scale)
{
    const kit::EntityHandle e = world.createEntity();
    world.emplaceComponent<kit::Transform>(e, position, scale, rotation);
    world.addComponent(e, new kit::Label(space));
    return e;
}

void sceneCamera(kit::World& world, glm::vec3 position, float aspect)
{
    const auto camera = placed(world, position, "gameSpace", glm::quat(1, 0, 0, 0), glm::vec3(aspect, 1, 1));
    world.emplaceComponent<kit::Camera>(camera, kit::sceneProjection());
}

void overlayCamera(kit::World& world, float aspect)
{
    const auto camera = placed(world, glm::vec3(0.0f), "hudSpace", glm::quat(1, 0, 0, 0), glm::vec3(aspect, 1, 1));
    world.emplaceComponent<kit::Camera>(camera, kit::overlayProjection());
}

namespace {

// A copy of the first MTL material of an OBJ (colours and textures), for a
// program of our choosing: the game's models carry their own material too.
std::shared_ptr<kit::Material> materialOf(const std::string& obj)
{
    auto mesh = kit::objManager().get(obj);
    auto material = std::make_shared<kit::Material>();
    if (!mesh->parts.empty() && mesh->parts[0].material) {
        const kit::Material& source = *mesh->parts[0].material;
        for (const auto& [name, value] : source.uniforms.values())
            material->setUniform(name, value);
        for (const auto& [sampler, texture] : source.textures)
            material->setTexture(sampler, texture);
    }
    return material;
}

kit::ResourceHandle<kit::Texture> texture(const std::string& path)
{
    return kit::textureManager().getHandle(path);
}

} // namespace

kit::Model* litModel(kit::World& world, kit::EntityHandle entity, const std::string& obj, const std::string& program,
                     const std::string& normalMap)
{
    auto material = materialOf(obj);
    material->setShaderProgram(kit::shaderProgramManager().getHandle(program));
    material->setUniform("usingNormalTex", !normalMap.empty());
    if (!normalMap.empty())
        material->setTexture("normalTex", texture(normalMap));
    auto* model = world.emplaceComponent<kit::Model>(entity, kit::objManager().getHandle(obj));
    model->material = material;
    return model;
}

kit::Model* planeModel(kit::World& world, kit::EntityHandle entity, const std::string& colourTexture)
{
    const std::string obj = "models/playerPlane/playerPlane.obj";
    auto* model = litModel(world, entity, obj, "shaders/planeShader.txt", "models/playerPlane/playerNormal.png");
    model->material->setTexture("diffuseTex", texture(colourTexture));
    model->material->setUniform("saturation", 0.25f);
    return model;
}

kit::Model* flatModel(kit::World& world, kit::EntityHandle entity, const std::string& obj)
{
    // The stage and the backdrop keep one material each, so one override
    // with the unlit program draws them whole, as the game does.
    auto material = materialOf(obj);
    material->setShaderProgram(kit::shaderProgramManager().getHandle("shaders/flatShader.txt"));
    auto* model = world.emplaceComponent<kit::Model>(entity, kit::objManager().getHandle(obj));
    model->material = material;
    return model;
}

kit::Model* tintedQuad(kit::World& world, kit::EntityHandle entity, const std::string& path, glm::vec3 colour,
                       float alpha, bool additive)
{
    if (additive)
        world.addComponent(entity, new kit::Label("additiveBlending"));
    world.addComponent(entity, new kit::Label("noCullFace"));
    auto* model = world.emplaceComponent<kit::Model>(entity, kit::objManager().getHandle("models/quad.obj"), true);
    model->material = std::make_shared<kit::Material>();
    model->material->setShaderProgram(kit::shaderProgramManager().getHandle("shaders/colorizedFlatShader.txt"));
    model->material->setTexture("diffuseTex", texture(path));
    model->material->setUniform("color", colour);
    model->material->setUniform("alpha", alpha);
    return model;
}

kit::Sprite* sprite(kit::World& world, kit::EntityHandle entity, const std::string& path, float width, float height)
{
    kit::shaderProgramManager().get("shaders/flatShader.txt");
    return world.emplaceComponent<kit::Sprite>(entity, texture(path), width, height, 0.0f, true);
}

kit::Text* text(kit::World& world, const std::string& words, glm::vec3 origin, float size, glm::vec3 colour)
{
    kit::shaderProgramManager().get("shaders/colorizedTextShader.txt");
    const auto e = placed(world, glm::vec3(0.0f), "hudSpace");
    auto* label = world.emplaceComponent<kit::Text>(e, texture("fonts/UbuntuMono.png"), words, colour, origin,
                                                    kit::ResourceHandle<kit::ShaderProgram>{}, size);
    label->noDepth = true;
    return label;
}

namespace {
std::string white, checker;
}

void writeHelperTextures(const std::string& directory)
{
    SheetImage plain(4, 4, 0xffffffff);
    plain.save(directory + "/white.png");
    SheetImage squares(64, 64);
    squares.checker(0, 0, 64, 64, 8);
    squares.save(directory + "/checker.png");
    white = std::filesystem::relative(directory + "/white.png", "assets").string();
    checker = std::filesystem::relative(directory + "/checker.png", "assets").string();
}

const std::string& whiteTexture()
{
    return white;
}

const std::string& checkerTexture()
{
    return checker;
}

glm::quat noseRight()
{
    return glm::angleAxis(glm::half_pi<float>(), glm::vec3(0, 1, 0));
}

} // namespace gallery
