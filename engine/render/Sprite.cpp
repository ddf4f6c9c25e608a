#include "Sprite.h"

#include "engine/core/Label.h"
#include "engine/core/World.h"
#include "engine/resources/Material.h"
#include "engine/resources/ResourceManagers.h"
#include "engine/resources/Texture.h"
#include "engine/resources/VertexBuffer.h"

#include <GL/glew.h>

#include <algorithm>
#include <map>
#include <tuple>
#include <vector>

namespace kit {
namespace {

// A rectangle of the texture, in texture coordinates (v = 0 at the top).
struct UvRect {
    float u0, v0, u1, v1;
};

// Two triangles per rectangle, placed where the rectangle lies on the
// sprite's `width` x `height` quad.
std::shared_ptr<VertexBuffer> spriteBuffer(const std::vector<UvRect>& rects, float width, float height)
{
    std::vector<glm::vec3> positions, normals;
    std::vector<glm::vec2> uvs;
    const float hw = width * 0.5f, hh = height * 0.5f;
    for (const UvRect& r : rects) {
        const glm::vec2 corner[6] = {{r.u0, r.v1}, {r.u1, r.v0}, {r.u0, r.v0}, {r.u1, r.v0}, {r.u0, r.v1}, {r.u1, r.v1}};
        for (const glm::vec2& uv : corner) {
            positions.emplace_back(-hw + uv.x * width, hh - uv.y * height, 0.0f);
            normals.emplace_back(0.0f, 0.0f, 1.0f);
            uvs.push_back(uv);
        }
    }
    auto buffer = VertexBuffer::create({{3, GL_FLOAT, "pos"}, {3, GL_FLOAT, "normal"}, {2, GL_FLOAT, "UV"}});
    buffer->bind(GL_ARRAY_BUFFER);
    buffer->allocate(positions.size(), GL_STATIC_DRAW, GL_ARRAY_BUFFER);
    buffer->setAttributeData(GL_ARRAY_BUFFER, positions.data(), "pos");
    buffer->setAttributeData(GL_ARRAY_BUFFER, normals.data(), "normal");
    buffer->setAttributeData(GL_ARRAY_BUFFER, uvs.data(), "UV");
    return buffer;
}

// The covered cells as rectangles: runs of covered cells along each row,
// a run continued down while the rows below have the very same run.
std::vector<UvRect> coveredRects(const TextureCoverage& coverage)
{
    struct Run {
        int from, to, top; // columns [from, to), rows from top down to the current one
    };
    std::vector<UvRect> rects;
    std::vector<Run> open;
    const auto close = [&](const Run& run, int bottom) {
        rects.push_back(UvRect{static_cast<float>(run.from) / static_cast<float>(coverage.columns),
                               static_cast<float>(run.top) / static_cast<float>(coverage.rows),
                               static_cast<float>(run.to) / static_cast<float>(coverage.columns),
                               static_cast<float>(bottom) / static_cast<float>(coverage.rows)});
    };
    for (int row = 0; row <= coverage.rows; ++row) {
        std::vector<Run> runs;
        for (int c = 0; row < coverage.rows && c < coverage.columns;) {
            if (!coverage.covered(c, row)) {
                ++c;
                continue;
            }
            const int from = c;
            while (c < coverage.columns && coverage.covered(c, row))
                ++c;
            runs.push_back(Run{from, c, row});
        }
        for (const Run& was : open) {
            auto same = std::find_if(runs.begin(), runs.end(),
                                     [&](const Run& r) { return r.from == was.from && r.to == was.to; });
            if (same != runs.end())
                same->top = was.top;
            else
                close(was, row);
        }
        open = std::move(runs);
    }
    return rects;
}

std::shared_ptr<Mesh> quadMesh(ResourceHandle<Texture> texture, float width, float height, bool instanced = false)
{
    auto material = std::make_shared<Material>();
    material->setShaderProgram(shaderProgramManager().getHandle(Sprite::program));
    if (instanced)
        material->instancedProgram = shaderProgramManager().getHandle(Sprite::instancedProgram);
    material->setTexture("diffuseTex", std::move(texture));
    auto mesh = std::make_shared<Mesh>();
    mesh->parts.push_back(Mesh::Part{spriteBuffer({UvRect{0.0f, 0.0f, 1.0f, 1.0f}}, width, height), material});
    return mesh;
}

// A handle that counts as loaded from the start: the sprite builds its mesh itself.
ResourceHandle<Mesh> ownMesh(std::shared_ptr<Mesh> mesh)
{
    static const std::atomic<bool> done{false};
    return ResourceHandle<Mesh>{std::move(mesh), &done};
}

} // namespace

struct Sprite::Shared {
    std::shared_ptr<Mesh> mesh;
    const Texture* trimmedFor = nullptr;
    bool keyed = false; // made by sharing(): other sprites may come to share it
};

Sprite::Sprite(ResourceHandle<Texture> texture, float width, float height, float priority, bool blending)
    : Model(ownMesh(quadMesh(texture, width, height)), blending), texture_(std::move(texture)), width_(width),
      height_(height), shared_(std::make_shared<Shared>())
{
    addClassTags<Sprite>("sprite");
    setRenderPriority(priority);
}

Sprite::Sprite(ResourceHandle<Texture> texture, float width, float height, float priority,
               std::shared_ptr<Shared> shared)
    : Model(ownMesh(shared->mesh), true), texture_(std::move(texture)), width_(width), height_(height),
      shared_(std::move(shared))
{
    addClassTags<Sprite>("sprite");
    setRenderPriority(priority);
}

Sprite* Sprite::sharing(ResourceHandle<Texture> texture, float width, float height, float priority)
{
    // Keyed by the texture's cache entry, which lives as long as the program.
    using Key = std::tuple<const void*, float, float>;
    static std::map<Key, std::weak_ptr<Shared>> made;
    const Key key{texture.pending, width, height};
    std::shared_ptr<Shared> shared = made[key].lock();
    if (!shared) {
        shared = std::make_shared<Shared>();
        shared->mesh = quadMesh(texture, width, height, true);
        shared->keyed = true;
        made[key] = shared;
    }
    return new Sprite(std::move(texture), width, height, priority, std::move(shared));
}

void Sprite::initialize()
{
    world->addComponent(getEntity(), new Label("noCullFace"));
    Model::initialize();
}

void Sprite::setTexture(ResourceHandle<Texture> texture)
{
    if (shared_->keyed) {
        shared_ = std::make_shared<Shared>();
        shared_->mesh = quadMesh(texture, width_, height_);
        mesh = ownMesh(shared_->mesh);
    }
    texture_ = texture;
    if (mesh.resource && !mesh->parts.empty())
        mesh->parts[0].material->setTexture("diffuseTex", std::move(texture));
}

void Sprite::prepare()
{
    if (!texture_.isLoaded() || texture_.get() == shared_->trimmedFor || !mesh.resource || mesh->parts.size() != 1)
        return;
    shared_->trimmedFor = texture_.get();
    const TextureCoverage& coverage = texture_->coverage;
    // Unknown coverage (a texture made in code) keeps the whole rectangle; a
    // texture that shows nothing keeps it too rather than drawing no triangle.
    std::vector<UvRect> rects = coverage.known() ? coveredRects(coverage) : std::vector<UvRect>{};
    if (rects.empty())
        rects.push_back(UvRect{0.0f, 0.0f, 1.0f, 1.0f});
    mesh->parts[0].buffer = spriteBuffer(rects, width_, height_);
}

} // namespace kit
