#include "InstancedDraw.h"

#include "Model.h"

#include "engine/render/state/RenderState.h"
#include "engine/resources/Material.h"
#include "engine/resources/ShaderProgram.h"
#include "engine/resources/Texture.h"
#include "engine/resources/VertexBuffer.h"

#include <GL/glew.h>
#include <glm/gtc/type_ptr.hpp>

#include <algorithm>
#include <cstring>

namespace kit {
namespace {

// Columns and floats per column of the float input types a copy can carry;
// {0, 0} for the others (integer inputs), which make a batch undrawable.
std::pair<int, int> shapeOf(unsigned type)
{
    switch (type) {
    case GL_FLOAT:
        return {1, 1};
    case GL_FLOAT_VEC2:
        return {1, 2};
    case GL_FLOAT_VEC3:
        return {1, 3};
    case GL_FLOAT_VEC4:
        return {1, 4};
    case GL_FLOAT_MAT2:
        return {2, 2};
    case GL_FLOAT_MAT3:
        return {3, 3};
    case GL_FLOAT_MAT4:
        return {4, 4};
    default:
        return {0, 0};
    }
}

bool meshReads(const VertexBuffer& buffer, const std::string& name)
{
    return std::any_of(buffer.attributes.begin(), buffer.attributes.end(),
                       [&name](const VertexAttribute& a) { return a.name == name; });
}

// Copies a value's floats (column after column for matrices), at most `count`,
// and zeros after them.
void writeValue(const UniformValue& value, float* out, int count)
{
    std::fill(out, out + count, 0.0f);
    std::visit(
        [out, count](const auto& v) {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, float>) {
                out[0] = v;
            } else if constexpr (std::is_same_v<T, int> || std::is_same_v<T, unsigned>) {
                out[0] = static_cast<float>(v);
            } else if constexpr (std::is_same_v<typename T::value_type, float>) {
                const int n = std::min(count, static_cast<int>(sizeof(T) / sizeof(float)));
                std::memcpy(out, glm::value_ptr(v), static_cast<std::size_t>(n) * sizeof(float));
            }
        },
        value);
}

} // namespace

InstancedDraw::InstancedDraw()
{
    glGenBuffers(1, &buffer_);
}

InstancedDraw::~InstancedDraw()
{
    if (buffer_ != 0 && RenderState::contextAlive())
        glDeleteBuffers(1, &buffer_);
}

void InstancedDraw::writeCopy(const DrawItem& item, const RenderState& state, const UniformSet& globals,
                              float* out) const
{
    const Material& material = *item.material;
    const ShaderProgram* program = material.shaderProgram.get();
    for (const Input& input : inputs_) {
        float* at = out + input.offset;
        const int count = input.columns * input.components;
        const std::string& name = *input.name;
        // The same products as the one-by-one path (MeshDrawing's setMatrices),
        // so that each copy lands on exactly the same pixels.
        if (name == "MVP") {
            writeValue(state.projection * state.view * item.model, at, count);
            continue;
        }
        if (name == "MV") {
            writeValue(state.view * item.model, at, count);
            continue;
        }
        if (name == "M") {
            writeValue(item.model, at, count);
            continue;
        }
        if (name == "V") {
            writeValue(state.view, at, count);
            continue;
        }
        const UniformValue* value = item.instanced->uniformOverrides().find(name);
        if (!value)
            value = material.uniforms.find(name);
        if (!value)
            value = globals.find(name);
        if (!value && program)
            value = program->defaults.find(name);
        if (value)
            writeValue(*value, at, count);
        else
            std::fill(at, at + count, 0.0f);
    }
}

bool InstancedDraw::draw(RenderState& state, const UniformSet& globals, const std::vector<DrawItem>& items,
                         std::span<const std::size_t> batch)
{
    if (batch.empty())
        return true;
    const DrawItem& first = items[batch.front()];
    if (!first.instanced || !first.material || !first.buffer)
        return false;
    Material& material = *first.material;
    ShaderProgram* program = material.instancedProgram.get();
    VertexBuffer* buffer = first.buffer;
    if (!material.instancedProgram.isLoaded() || !program->linked)
        return false;

    // The per-copy record: every input of the program that the mesh does not feed.
    inputs_.clear();
    std::size_t stride = 0;
    for (const auto& [name, attribute] : program->attributes) {
        if (meshReads(*buffer, name))
            continue;
        const auto [columns, components] = shapeOf(attribute.type);
        if (columns == 0 || attribute.size != 1)
            return false;
        inputs_.push_back(Input{attribute.location, columns, components, stride, &name});
        stride += static_cast<std::size_t>(columns * components);
    }
    if (stride == 0)
        return false; // nothing tells the copies apart

    state.setBlendFunc(GL_SRC_ALPHA, first.additive ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);
    if (first.cullFace)
        state.enable(GL_CULL_FACE);
    else
        state.disable(GL_CULL_FACE);
    if (state.currentProgram != program) {
        state.useProgram(program, program->id);
        program->lastGlobals = nullptr;
    }
    if (program->lastGlobals != &globals || program->lastGlobalsVersion != globals.version()) {
        for (const auto& [name, value] : globals.values())
            program->setUniform(name, value);
        program->lastGlobals = &globals;
        program->lastGlobalsVersion = globals.version();
        state.countChange();
    }
    for (auto& [sampler, texture] : material.textures) {
        if (texture.isLoaded())
            program->bindTexture(state, sampler, *texture.resource);
    }
    // Values the instanced program still reads as uniforms: the material's.
    for (const auto& [name, value] : material.uniforms.values())
        program->setUniform(name, value);

    data_.resize(stride * batch.size());
    for (std::size_t i = 0; i < batch.size(); ++i)
        writeCopy(items[batch[i]], state, globals, data_.data() + i * stride);

    glBindVertexArray(buffer->vertexArrayFor(*program));
    glBindBuffer(GL_ARRAY_BUFFER, buffer_);
    // A new store each time: the driver may still read the last one.
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(data_.size() * sizeof(float)), data_.data(), GL_STREAM_DRAW);
    const auto bytes = static_cast<GLsizei>(stride * sizeof(float));
    for (const Input& input : inputs_) {
        for (int column = 0; column < input.columns; ++column) {
            const auto location = static_cast<GLuint>(input.location + column);
            const std::size_t offset =
                (input.offset + static_cast<std::size_t>(column * input.components)) * sizeof(float);
            glEnableVertexAttribArray(location);
            glVertexAttribPointer(location, input.components, GL_FLOAT, GL_FALSE, bytes,
                                  reinterpret_cast<const void*>(offset));
            glVertexAttribDivisor(location, 1);
        }
    }
    buffer->drawTriangles(static_cast<int>(batch.size()));
    state.countDraw();
    glBindVertexArray(0);
    return true;
}

} // namespace kit
