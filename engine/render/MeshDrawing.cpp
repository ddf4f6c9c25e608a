#include "MeshDrawing.h"

#include "engine/render/state/RenderState.h"
#include "engine/resources/Material.h"
#include "engine/resources/Mesh.h"
#include "engine/resources/ShaderProgram.h"
#include "engine/resources/UniformOverrides.h"
#include "engine/resources/VertexBuffer.h"

#include <GL/glew.h>

namespace kit {

void setMatrices(RenderState& state, const glm::mat4& model, bool withModelView)
{
    ShaderProgram* program = state.currentProgram;
    if (!program)
        return;
    program->setUniform("MVP", state.projection * state.view * model);
    if (withModelView)
        program->setUniform("MV", state.view * model);
    program->setUniform("M", model);
    program->setUniform("V", state.view);
}

void drawMesh(const Mesh& mesh, RenderState& state, const glm::mat4& model, const UniformSet& globals,
              Material* material, const UniformOverrides* overrides, const std::function<void(ShaderProgram&)>& prepare)
{
    for (const Mesh::Part& part : mesh.parts) {
        Material* used = material ? material : part.material.get();
        if (!part.buffer || !used)
            continue;
        if (!used->use(state, globals) || !state.currentProgram)
            continue;
        setMatrices(state, model);
        if (overrides)
            overrides->apply(*state.currentProgram);
        if (prepare)
            prepare(*state.currentProgram);

        glBindVertexArray(part.buffer->vertexArrayFor(*state.currentProgram));
        part.buffer->drawTriangles();
        state.countDraw();
        glBindVertexArray(0);
    }
}

} // namespace kit
