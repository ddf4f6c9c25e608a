#pragma once

#include "engine/resources/Material.h"
#include "engine/resources/ResourceHandle.h"

#include <glm/vec3.hpp>

#include <array>
#include <memory>
#include <string>

namespace kit {

class ShaderProgram;
class Texture;
class VertexBuffer;

// The quads of one string cut from a 16 x 16 bitmap-font grid, with their own
// vertex array and buffer ("pos" 3 floats, "UV" 2 floats), rebuilt only when
// the string changes.
class GlyphBatch {
public:
    // The material holds the program, the font as "diffuseTex" and the colour.
    GlyphBatch(ResourceHandle<Texture> font, ResourceHandle<ShaderProgram> program);
    GlyphBatch(const GlyphBatch&) = delete;
    GlyphBatch& operator=(const GlyphBatch&) = delete;
    ~GlyphBatch();

    // Whether the buffer holds something else than this layout.
    [[nodiscard]] bool needsRebuild(const std::string& text, float glyphSize, glm::vec3 origin) const
    {
        return rebuild || text != builtFrom || glyphSize != builtSize || origin != builtOrigin;
    }
    // Lays the string out (glyph size s, each glyph s * font width / height
    // wide) and uploads it for the current program.
    void build(const std::string& text, float glyphSize, glm::vec3 origin, const ShaderProgram& program);

    ResourceHandle<Texture> font;
    ResourceHandle<ShaderProgram> program;
    Material material;
    unsigned vertexArray = 0;
    std::shared_ptr<VertexBuffer> buffer;
    std::string builtFrom;
    float builtSize = 0.0f;
    glm::vec3 builtOrigin{0.0f};
    bool rebuild = true;
    int builds = 0; // how many times the buffer was filled
};

// The texture-coordinate rectangle of a byte's cell: column b mod 16, row b
// div 16 (row 0 at the top). {u0, v0, u1, v1}.
std::array<float, 4> glyphCell(unsigned char byte);

} // namespace kit
