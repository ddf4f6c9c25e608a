#pragma once

#include <glm/vec3.hpp>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace kit {

class ShaderProgram;

// One vertex attribute: the shader input it feeds and its components.
struct VertexAttribute {
    int components = 3;     // 1 to 4
    unsigned type = 0x1406; // GLenum of a component (GL_FLOAT)
    std::string name;
};

// The layout of the engine's own meshes: "pos" 3, "normal" 3, "UV" 2,
// "tangent" 3 and "bitangent" 3 floats.
const std::vector<VertexAttribute>& standardAttributes();

// Bytes of one component of a GL type.
std::size_t componentSize(unsigned type);

// One OpenGL buffer holding all attributes of a set of vertices, one
// attribute block after another (not interleaved): attribute i starts at
// vertexCount * (sum of the vertex sizes of the attributes before it).
// Main thread only.
class VertexBuffer {
public:
    explicit VertexBuffer(std::vector<VertexAttribute> attributes);
    VertexBuffer(const VertexBuffer&) = delete;
    VertexBuffer& operator=(const VertexBuffer&) = delete;
    ~VertexBuffer();

    static std::shared_ptr<VertexBuffer> create(std::vector<VertexAttribute> attributes)
    {
        return std::make_shared<VertexBuffer>(std::move(attributes));
    }

    void bind(unsigned target) const;
    // Sizes the buffer for `count` vertices (glBufferData without data).
    void allocate(std::size_t count, unsigned usage, unsigned target);
    // Fills the named attribute's block from `data` (vertexCount entries).
    void setAttributeData(unsigned target, const void* data, const std::string& name);
    // Makes the buffer indexed: triangles are drawn from `indices` (32-bit,
    // each below vertexCount), so that a vertex shared by several triangles
    // is stored and shaded once. Empty: drawn in vertex order again.
    void setIndices(const std::vector<std::uint32_t>& indices);
    // Points the program's inputs at the blocks; integer types stay integers.
    void bindAttributes(const ShaderProgram& program) const;

    // A vertex array object with this buffer's attributes bound for the
    // program, made on first use and kept: drawing then needs no attribute
    // calls at all.
    [[nodiscard]] unsigned vertexArrayFor(const ShaderProgram& program);

    // Byte offset of attribute i's block.
    [[nodiscard]] std::size_t blockOffset(std::size_t index) const;
    [[nodiscard]] std::size_t blockSize(std::size_t index) const;

    // The box around the "pos" values last written (3 floats a vertex), in
    // the mesh's own units; unknown (boundsKnown false) until then. The
    // renderer uses it to tell where on the screen a draw can land.
    struct Bounds {
        glm::vec3 min{0.0f};
        glm::vec3 max{0.0f};
    };
    [[nodiscard]] bool boundsKnown() const { return boundsKnown_; }
    [[nodiscard]] const Bounds& bounds() const { return bounds_; }

    // Draws the buffer's triangles with the vertex array of the bound
    // program; an instanced draw of `instances` copies when above 0.
    void drawTriangles(int instances = 0) const;

    unsigned id = 0;
    std::vector<VertexAttribute> attributes;
    std::size_t vertexCount = 0;
    unsigned indexBuffer = 0; // 0 while not indexed
    std::size_t indexCount = 0;

private:
    void measure(const VertexAttribute& attribute, const void* data);

    std::vector<std::pair<unsigned, unsigned>> vertexArrays_; // (program id, vertex array)
    Bounds bounds_;
    bool boundsKnown_ = false;
};

} // namespace kit
