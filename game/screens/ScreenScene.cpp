#include "ScreenScene.h"

#include "game/common/Tags.h"
#include "game/looks/GameLights.h"
#include "game/looks/OutlinedText.h"

#include "engine/core/Label.h"
#include "engine/core/World.h"
#include "engine/physics/ConstantRotation.h"
#include "engine/physics/Transform.h"
#include "engine/render/AnimatedModel.h"
#include "engine/render/AspectMatcher.h"
#include "engine/render/Camera.h"
#include "engine/render/Model.h"
#include "engine/render/Renderer.h"
#include "engine/render/Sprite.h"
#include "engine/render/Text.h"
#include "engine/resources/Material.h"
#include "engine/resources/ResourceManagers.h"
#include "engine/resources/ShaderProgram.h"
#include "engine/resources/Texture.h"

#include <GL/glew.h>

#include <glm/common.hpp>
#include <glm/geometric.hpp>
#include <glm/vec4.hpp>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <vector>

namespace skyscuffle {

namespace screens {
namespace {

constexpr float fontCellAspect = 34.0f / 64.0f; // width / height of a glyph cell

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

// A picture made here rather than read from a file: its handle counts as
// loaded from the start.
kit::ResourceHandle<kit::Texture> madeTexture(std::shared_ptr<kit::Texture> made)
{
    static const std::atomic<bool> done{false};
    return kit::ResourceHandle<kit::Texture>{std::move(made), &done};
}

// The panel's picture at the shape it is drawn with, so that its corners
// stay round: `width` x `height` pixels, RGBA.
std::shared_ptr<kit::Texture> plateTexture(int width, int height)
{
    const float radius = static_cast<float>(height) * 0.12f; // pixels
    const float rim = std::max(2.0f, static_cast<float>(height) * 0.012f);
    const glm::vec4 fill(0.08f, 0.12f, 0.24f, 0.7f);
    const glm::vec4 edge(0.85f, 0.9f, 1.0f, 0.9f);
    std::vector<unsigned char> pixels(static_cast<std::size_t>(width * height) * 4);
    const glm::vec2 half(static_cast<float>(width) * 0.5f, static_cast<float>(height) * 0.5f);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            // Signed distance to the rounded rectangle's outline (negative inside).
            const glm::vec2 p = glm::abs(glm::vec2(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f) - half);
            const glm::vec2 q = p - (half - glm::vec2(radius));
            const float distance =
                glm::length(glm::max(q, glm::vec2(0.0f))) + std::min(std::max(q.x, q.y), 0.0f) - radius;
            const float inside = std::clamp(0.5f - distance, 0.0f, 1.0f); // one pixel of antialiasing
            const float onRim = std::clamp(distance + rim + 0.5f, 0.0f, 1.0f);
            glm::vec4 colour = glm::mix(fill, edge, onRim);
            colour.a *= inside;
            unsigned char* out = &pixels[static_cast<std::size_t>(y * width + x) * 4];
            for (int c = 0; c < 4; ++c)
                out[c] = static_cast<unsigned char>(std::lround(colour[c] * 255.0f));
        }
    }
    auto texture = std::make_shared<kit::Texture>();
    texture->upload(pixels.data(), static_cast<unsigned>(width), static_cast<unsigned>(height));
    return texture;
}

} // namespace

void addOverlay(kit::World* world, bool clears)
{
    const unsigned mask = clears ? (GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT) : 0u;
    world->emplaceComponent<kit::Renderer>(world->createEntity(), std::vector<kit::TagId>{kit::tagId(tags::hudSpace)},
                                           kit::UniformSet{}, false, mask, 1.0f);
    const kit::EntityHandle camera = placed(world, tags::hudSpace, glm::vec3(0.0f));
    world->emplaceComponent<kit::AspectMatcher>(camera);
    world->emplaceComponent<kit::Camera>(camera, kit::overlayProjection());
}

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

kit::EntityHandle overlayEntity(kit::World* world, glm::vec3 position)
{
    return placed(world, tags::hudSpace, position);
}

kit::Sprite* addPicture(kit::World* world, const std::string& path, glm::vec2 position, glm::vec2 size, float layer)
{
    const kit::EntityHandle e = overlayEntity(world, glm::vec3(position, 0.0f));
    return world->emplaceComponent<kit::Sprite>(e, texture(path), size.x, size.y, layer, true);
}

kit::Sprite* addBackdrop(kit::World* world, const std::string& path)
{
    // A unit picture scaled (2, 2) covers the camera's height; the matcher
    // stretches it across the window's width as well.
    const kit::EntityHandle e =
        placed(world, tags::hudSpace, glm::vec3(0.0f), glm::quat(1, 0, 0, 0), glm::vec3(2, 2, 1));
    world->emplaceComponent<kit::AspectMatcher>(e);
    return world->emplaceComponent<kit::Sprite>(e, texture(path), 1.0f, 1.0f, backdropLayer, true);
}

kit::Sprite* addPlate(kit::World* world, glm::vec2 position, glm::vec2 size, float layer)
{
    // About the pixels it covers on a 1080-line screen.
    const int height = std::clamp(static_cast<int>(size.y * 540.0f), 16, 1024);
    const int width = std::clamp(static_cast<int>(static_cast<float>(height) * size.x / size.y), 16, 2048);
    const kit::EntityHandle e = overlayEntity(world, glm::vec3(position, 0.0f));
    return world->emplaceComponent<kit::Sprite>(e, madeTexture(plateTexture(width, height)), size.x, size.y, layer,
                                                true);
}

glm::vec3 vivid(glm::vec3 colour)
{
    const float largest = std::max({colour.r, colour.g, colour.b});
    return largest > 0.0f ? colour / largest : glm::vec3(1.0f);
}

float glyphAdvance(float size)
{
    return size * fontCellAspect;
}

kit::Text* addText(kit::World* world, const std::string& words, glm::vec2 origin, float size, glm::vec3 colour,
                   bool shadowed, float layer)
{
    return addOutlinedText(*world, overlayEntity(world, glm::vec3(0.0f)), words, origin, size, colour, layer, shadowed);
}

void setText(kit::Text* text, const std::string& value)
{
    setOutlinedText(text, value);
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
