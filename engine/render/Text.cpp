#include "Text.h"

#include "MeshDrawing.h"

#include "engine/render/state/RenderState.h"
#include "engine/resources/ResourceManagers.h"
#include "engine/resources/ShaderProgram.h"
#include "engine/resources/Texture.h"
#include "engine/resources/VertexBuffer.h"

#include <GL/glew.h>

#include <algorithm>

namespace kit {
namespace {

ResourceHandle<ShaderProgram> textProgram(ResourceHandle<ShaderProgram> given)
{
    return given.resource ? given : shaderProgramManager().getHandle("shaders/colorizedTextShader.txt");
}

// Keeps the position, turns the plane to face the eye with +Y up.
glm::mat4 facing(const glm::mat4& model, const glm::mat4& view)
{
    const glm::vec3 position(model[3]);
    const glm::vec3 eye(glm::inverse(view)[3]);
    glm::vec3 forward = eye - position;
    if (glm::dot(forward, forward) < 1e-12f)
        return model;
    forward = glm::normalize(forward);
    glm::vec3 right = glm::cross(glm::vec3(0, 1, 0), forward);
    if (glm::dot(right, right) < 1e-12f)
        right = glm::vec3(1, 0, 0); // looking straight down or up
    right = glm::normalize(right);
    const glm::vec3 up = glm::cross(forward, right);
    return glm::mat4(glm::vec4(right, 0), glm::vec4(up, 0), glm::vec4(forward, 0), glm::vec4(position, 1));
}

} // namespace

Text::Text(ResourceHandle<Texture> font, std::string text, glm::vec3 colour, glm::vec3 origin,
           ResourceHandle<ShaderProgram> program, float glyphSize)
    : Renderable(true), glyphSize(glyphSize), colour(colour), origin(origin),
      batch(std::move(font), textProgram(std::move(program))), text_(std::move(text))
{
    addClassTags<Text>("text");
}

void Text::draw(RenderState& state, const glm::mat4& model, const UniformSet& globals)
{
    if (!batch.font.isLoaded())
        return;
    state.setBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    const glm::mat4 placed = faceCamera ? facing(model, state.view) : model;

    const glm::vec3* uploaded = batch.material.uniform<glm::vec3>("color");
    if (!uploaded || *uploaded != colour)
        batch.material.setUniform("color", colour);
    if (!batch.material.use(state, globals) || !state.currentProgram)
        return;
    setMatrices(state, placed, false);

    // Over everything when asked, for this text only.
    const bool depthWasOn = state.isEnabled(GL_DEPTH_TEST);
    if (noDepth)
        state.disable(GL_DEPTH_TEST);
    glBindVertexArray(batch.vertexArray);
    if (batch.needsRebuild(text_, glyphSize, origin))
        batch.build(text_, glyphSize, origin, *state.currentProgram);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(6 * text_.size()));
    state.countDraw();
    glBindVertexArray(0);
    if (noDepth && depthWasOn)
        state.enable(GL_DEPTH_TEST);
}

TextBounds textBounds(const std::string& text, float glyphSize, glm::vec3 origin, float advance)
{
    TextBounds bounds;
    bool any = false;
    int line = 0;
    int column = 0;
    for (const char c : text) {
        if (c == '\n') {
            ++line;
            column = 0;
            continue;
        }
        ++column;
        if (c == ' ')
            continue;
        const float left = origin.x + advance * static_cast<float>(column);
        const float bottom = origin.y - glyphSize * static_cast<float>(line);
        if (!any) {
            bounds = {left, bottom, left + advance, bottom + glyphSize};
            any = true;
        }
        bounds.left = std::min(bounds.left, left);
        bounds.right = std::max(bounds.right, left + advance);
        bounds.bottom = std::min(bounds.bottom, bottom);
        bounds.top = std::max(bounds.top, bottom + glyphSize);
    }
    return bounds;
}

} // namespace kit
