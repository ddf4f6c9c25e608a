#include "Model.h"

#include "MeshDrawing.h"
#include "ScreenRect.h"

#include "engine/core/World.h"
#include "engine/network/stream/NetStream.h"
#include "engine/render/state/RenderState.h"
#include "engine/resources/VertexBuffer.h"

#include <GL/glew.h>

#include <algorithm>
#include <limits>

namespace kit {

Model::Model(ResourceHandle<Mesh> mesh, bool blending) : Renderable(blending), mesh(std::move(mesh))
{
    addClassTags<Model>("model");
}

void Model::draw(RenderState& state, const glm::mat4& model, const UniformSet& globals)
{
    const bool additive = world && world->entityHasTag(entityId, tagId("additiveBlending"));
    state.setBlendFunc(GL_SRC_ALPHA, additive ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);
    const ResourceHandle<Mesh>& drawn = meshFor(state, model);
    if (drawn.isLoaded())
        drawMesh(*drawn.resource, state, model, globals, material.get(), &overrides_);
}

const ResourceHandle<Mesh>& Model::meshFor(const RenderState& state, const glm::mat4& model) const
{
    if (!lowDetail.isLoaded() || lowDetail->parts.empty())
        return mesh;
    if (!mesh.isLoaded())
        return lowDetail; // better a light model than none while the detailed one loads
    if (state.viewport.x <= 0 || state.viewport.y <= 0)
        return mesh;
    glm::vec3 low(std::numeric_limits<float>::max()), high(std::numeric_limits<float>::lowest());
    for (const Mesh::Part& part : mesh->parts) {
        if (!part.buffer || !part.buffer->boundsKnown())
            continue;
        low = glm::min(low, part.buffer->bounds().min);
        high = glm::max(high, part.buffer->bounds().max);
    }
    if (low.x > high.x)
        return mesh;
    const ScreenRect rect = projectBox(state.projection * state.view * model, low, high);
    if (rect.everywhere || rect.empty)
        return mesh;
    const float pixels = std::max((rect.maxX - rect.minX) * static_cast<float>(state.viewport.x),
                                  (rect.maxY - rect.minY) * static_cast<float>(state.viewport.y)) *
                         0.5f;
    return pixels < lowDetailBelowPixels ? lowDetail : mesh;
}

void Model::serialize(NetStream& stream)
{
    if (stream.writing)
        stream.write(enabled);
    else
        stream.read(enabled); // left as it is when no bit is left
}

} // namespace kit
