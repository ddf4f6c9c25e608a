#include "Sprite.h"

#include "engine/core/Label.h"
#include "engine/core/World.h"
#include "engine/resources/Material.h"
#include "engine/resources/ResourceManagers.h"
#include "engine/resources/Texture.h"
#include "engine/resources/VertexBuffer.h"

#include <GL/glew.h>

namespace kit {
namespace {

std::shared_ptr<Mesh> quadMesh(ResourceHandle<Texture> texture, float width, float height)
{
    auto material = std::make_shared<Material>();
    material->setShaderProgram(shaderProgramManager().getHandle(Sprite::program));
    material->setTexture("diffuseTex", std::move(texture));

    const float hw = width * 0.5f, hh = height * 0.5f;
    // Two triangles; v = 0 at the top edge.
    const glm::vec3 positions[6] = {{-hw, -hh, 0}, {hw, hh, 0}, {-hw, hh, 0}, {hw, hh, 0}, {-hw, -hh, 0}, {hw, -hh, 0}};
    const glm::vec3 normals[6] = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}, {0, 0, 1}, {0, 0, 1}, {0, 0, 1}};
    const glm::vec2 uvs[6] = {{0, 1}, {1, 0}, {0, 0}, {1, 0}, {0, 1}, {1, 1}};
    auto buffer = VertexBuffer::create({{3, GL_FLOAT, "pos"}, {3, GL_FLOAT, "normal"}, {2, GL_FLOAT, "UV"}});
    buffer->bind(GL_ARRAY_BUFFER);
    buffer->allocate(6, GL_STATIC_DRAW, GL_ARRAY_BUFFER);
    buffer->setAttributeData(GL_ARRAY_BUFFER, positions, "pos");
    buffer->setAttributeData(GL_ARRAY_BUFFER, normals, "normal");
    buffer->setAttributeData(GL_ARRAY_BUFFER, uvs, "UV");

    auto mesh = std::make_shared<Mesh>();
    mesh->parts.push_back(Mesh::Part{buffer, material});
    return mesh;
}

// A handle that counts as loaded from the start: the sprite builds its mesh itself.
ResourceHandle<Mesh> ownMesh(std::shared_ptr<Mesh> mesh)
{
    static const std::atomic<bool> done{false};
    return ResourceHandle<Mesh>{std::move(mesh), &done};
}

} // namespace

Sprite::Sprite(ResourceHandle<Texture> texture, float width, float height, float priority, bool blending)
    : Model(ownMesh(quadMesh(std::move(texture), width, height)), blending)
{
    addClassTags<Sprite>("sprite");
    setRenderPriority(priority);
}

void Sprite::initialize()
{
    world->addComponent(getEntity(), new Label("noCullFace"));
    Model::initialize();
}

void Sprite::setTexture(ResourceHandle<Texture> texture)
{
    if (mesh.resource && !mesh->parts.empty())
        mesh->parts[0].material->setTexture("diffuseTex", std::move(texture));
}

} // namespace kit
