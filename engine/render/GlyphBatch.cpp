#include "GlyphBatch.h"

#include "engine/render/state/RenderState.h"
#include "engine/resources/ShaderProgram.h"
#include "engine/resources/Texture.h"
#include "engine/resources/VertexBuffer.h"

#include <GL/glew.h>

#include <vector>

namespace kit {

std::array<float, 4> glyphCell(unsigned char byte)
{
    // Every byte in its own row, the last one's (240 to 255, the Latin-1
    // letters from eth to y-umlaut, n-tilde and o- and u-umlaut among them)
    // too: a row above the first would sample the texture's clamped edge,
    // and those letters of the translations would not show.
    const int column = byte % 16;
    const int row = byte / 16;
    return {column / 16.0f, row / 16.0f, (column + 1) / 16.0f, (row + 1) / 16.0f};
}

GlyphBatch::GlyphBatch(ResourceHandle<Texture> font, ResourceHandle<ShaderProgram> program)
    : font(std::move(font)), program(std::move(program))
{
    material.setShaderProgram(this->program);
    material.setTexture("diffuseTex", this->font);
    glGenVertexArrays(1, &vertexArray);
    buffer = VertexBuffer::create({{3, GL_FLOAT, "pos"}, {2, GL_FLOAT, "UV"}});
}

GlyphBatch::~GlyphBatch()
{
    if (RenderState::contextAlive())
        glDeleteVertexArrays(1, &vertexArray);
}

void GlyphBatch::build(const std::string& text, float s, glm::vec3 origin, const ShaderProgram& current)
{
    const float advance = font->height > 0.0f ? s * font->width / font->height : s;
    std::vector<glm::vec3> positions;
    std::vector<glm::vec2> uvs;
    positions.reserve(text.size() * 6);
    uvs.reserve(text.size() * 6);

    // Every glyph starts one advance right of the previous one; a newline
    // moves down a line and is itself drawn at the line's start.
    float left = origin.x;
    float y = origin.y;
    for (const char c : text) {
        if (c == '\n') {
            y -= s;
            left = origin.x;
        } else {
            left += advance;
        }
        const auto [u0, v0, u1, v1] = glyphCell(static_cast<unsigned char>(c));
        const glm::vec3 topLeft(left, y + s, 0), bottomLeft(left, y, 0), topRight(left + advance, y + s, 0),
            bottomRight(left + advance, y, 0);
        positions.insert(positions.end(), {topLeft, bottomLeft, topRight, bottomRight, topRight, bottomLeft});
        uvs.insert(uvs.end(), {{u0, v0}, {u0, v1}, {u1, v0}, {u1, v1}, {u1, v0}, {u0, v1}});
    }

    buffer->bind(GL_ARRAY_BUFFER);
    buffer->allocate(positions.size(), GL_STREAM_DRAW, GL_ARRAY_BUFFER);
    if (!positions.empty()) {
        buffer->setAttributeData(GL_ARRAY_BUFFER, positions.data(), "pos");
        buffer->setAttributeData(GL_ARRAY_BUFFER, uvs.data(), "UV");
    }
    buffer->bindAttributes(current);
    builtFrom = text;
    builtSize = s;
    builtOrigin = origin;
    rebuild = false;
    ++builds;
}

} // namespace kit
