#include "VertexBuffer.h"

#include "ShaderProgram.h"

#include "engine/render/state/RenderState.h"

#include <GL/glew.h>
#include <glm/common.hpp>

namespace kit {

const std::vector<VertexAttribute>& standardAttributes()
{
    static const std::vector<VertexAttribute> layout{
        {3, GL_FLOAT, "pos"}, {3, GL_FLOAT, "normal"}, {2, GL_FLOAT, "UV"},
        {3, GL_FLOAT, "tangent"}, {3, GL_FLOAT, "bitangent"}};
    return layout;
}

std::size_t componentSize(unsigned type)
{
    switch (type) {
    case GL_BYTE:
    case GL_UNSIGNED_BYTE: return 1;
    case GL_SHORT:
    case GL_UNSIGNED_SHORT:
    case GL_2_BYTES: return 2;
    case GL_DOUBLE: return 8;
    default: return 4; // GL_INT, GL_UNSIGNED_INT, GL_FLOAT, GL_4_BYTES
    }
}

VertexBuffer::VertexBuffer(std::vector<VertexAttribute> attributes) : attributes(std::move(attributes))
{
    glGenBuffers(1, &id);
}

VertexBuffer::~VertexBuffer()
{
    if (!RenderState::contextAlive())
        return;
    for (const auto& [program, array] : vertexArrays_)
        glDeleteVertexArrays(1, &array);
    if (id != 0)
        glDeleteBuffers(1, &id);
    if (indexBuffer != 0)
        glDeleteBuffers(1, &indexBuffer);
}

unsigned VertexBuffer::vertexArrayFor(const ShaderProgram& program)
{
    for (const auto& [programId, array] : vertexArrays_) {
        if (programId == program.id)
            return array;
    }
    GLuint array = 0;
    glGenVertexArrays(1, &array);
    glBindVertexArray(array);
    bind(GL_ARRAY_BUFFER);
    bindAttributes(program);
    if (indexBuffer != 0)
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer); // part of the vertex array's state
    glBindVertexArray(0);
    vertexArrays_.emplace_back(program.id, array);
    return array;
}

void VertexBuffer::bind(unsigned target) const
{
    glBindBuffer(target, id);
}

std::size_t VertexBuffer::blockSize(std::size_t index) const
{
    const VertexAttribute& a = attributes[index];
    return vertexCount * static_cast<std::size_t>(a.components) * componentSize(a.type);
}

std::size_t VertexBuffer::blockOffset(std::size_t index) const
{
    std::size_t offset = 0;
    for (std::size_t i = 0; i < index && i < attributes.size(); ++i)
        offset += blockSize(i);
    return offset;
}

void VertexBuffer::allocate(std::size_t count, unsigned usage, unsigned target)
{
    // The blocks move when the count changes: bound attribute offsets with them.
    if (count != vertexCount && RenderState::contextAlive()) {
        for (const auto& [program, array] : vertexArrays_)
            glDeleteVertexArrays(1, &array);
        vertexArrays_.clear();
    }
    vertexCount = count;
    glBufferData(target, static_cast<GLsizeiptr>(blockOffset(attributes.size())), nullptr, usage);
}

void VertexBuffer::setIndices(const std::vector<std::uint32_t>& indices)
{
    // Vertex arrays made before hold the old element binding.
    if (RenderState::contextAlive()) {
        for (const auto& [program, array] : vertexArrays_)
            glDeleteVertexArrays(1, &array);
    }
    vertexArrays_.clear();
    indexCount = indices.size();
    if (indices.empty())
        return;
    if (indexBuffer == 0)
        glGenBuffers(1, &indexBuffer);
    // Filled through the copy target: binding the element target here would
    // change whichever vertex array is bound.
    glBindBuffer(GL_COPY_WRITE_BUFFER, indexBuffer);
    glBufferData(GL_COPY_WRITE_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(std::uint32_t)),
                 indices.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_COPY_WRITE_BUFFER, 0);
}

void VertexBuffer::drawTriangles(int instances) const
{
    if (indexBuffer != 0 && indexCount > 0) {
        const auto count = static_cast<GLsizei>(indexCount);
        if (instances > 0)
            glDrawElementsInstanced(GL_TRIANGLES, count, GL_UNSIGNED_INT, nullptr, instances);
        else
            glDrawElements(GL_TRIANGLES, count, GL_UNSIGNED_INT, nullptr);
        return;
    }
    const auto count = static_cast<GLsizei>(vertexCount);
    if (instances > 0)
        glDrawArraysInstanced(GL_TRIANGLES, 0, count, instances);
    else
        glDrawArrays(GL_TRIANGLES, 0, count);
}

void VertexBuffer::setAttributeData(unsigned target, const void* data, const std::string& name)
{
    for (std::size_t i = 0; i < attributes.size(); ++i) {
        if (attributes[i].name == name) {
            glBufferSubData(target, static_cast<GLintptr>(blockOffset(i)), static_cast<GLsizeiptr>(blockSize(i)),
                            data);
            measure(attributes[i], data);
            return;
        }
    }
}

void VertexBuffer::measure(const VertexAttribute& attribute, const void* data)
{
    if (attribute.name != "pos")
        return;
    boundsKnown_ = false;
    if (attribute.type != GL_FLOAT || attribute.components != 3 || !data || vertexCount == 0)
        return;
    const auto* p = static_cast<const float*>(data);
    bounds_.min = bounds_.max = glm::vec3(p[0], p[1], p[2]);
    for (std::size_t v = 1; v < vertexCount; ++v) {
        const glm::vec3 at(p[3 * v], p[3 * v + 1], p[3 * v + 2]);
        bounds_.min = glm::min(bounds_.min, at);
        bounds_.max = glm::max(bounds_.max, at);
    }
    boundsKnown_ = true;
}

void VertexBuffer::bindAttributes(const ShaderProgram& program) const
{
    for (std::size_t i = 0; i < attributes.size(); ++i) {
        const VertexAttribute& a = attributes[i];
        const GLint location = glGetAttribLocation(program.id, a.name.c_str());
        if (location < 0)
            continue; // the program does not read this attribute
        glEnableVertexAttribArray(static_cast<GLuint>(location));
        const auto* offset = reinterpret_cast<const void*>(blockOffset(i));
        switch (a.type) {
        case GL_BYTE:
        case GL_UNSIGNED_BYTE:
        case GL_SHORT:
        case GL_UNSIGNED_SHORT:
        case GL_INT:
        case GL_UNSIGNED_INT:
            glVertexAttribIPointer(static_cast<GLuint>(location), a.components, a.type, 0, offset);
            break;
        default: glVertexAttribPointer(static_cast<GLuint>(location), a.components, a.type, GL_FALSE, 0, offset);
        }
    }
}

} // namespace kit
