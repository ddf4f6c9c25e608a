#include "Model.h"

#include "MeshDrawing.h"

#include "engine/core/World.h"
#include "engine/network/stream/NetStream.h"
#include "engine/render/state/RenderState.h"

#include <GL/glew.h>

namespace kit {

Model::Model(ResourceHandle<Mesh> mesh, bool blending) : Renderable(blending), mesh(std::move(mesh))
{
    addClassTags<Model>("model");
}

void Model::draw(RenderState& state, const glm::mat4& model, const UniformSet& globals)
{
    const bool additive = world && world->entityHasTag(entityId, tagId("additiveBlending"));
    state.setBlendFunc(GL_SRC_ALPHA, additive ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);
    if (mesh.isLoaded())
        drawMesh(*mesh.resource, state, model, globals, material.get(), &overrides_);
}

void Model::serialize(NetStream& stream)
{
    if (stream.writing)
        stream.write(enabled);
    else
        stream.read(enabled); // left as it is when no bit is left
}

} // namespace kit
