#pragma once

#include "UniformValue.h"

#include <map>
#include <string>
#include <vector>

namespace kit {

class Material;
class RenderState;
class Texture;

// A linked GLSL program and what the renderer needs of it: uniforms by name
// (array elements included), uploads, and the choice of texture units for
// samplers. Unusable until linked.
class ShaderProgram {
public:
    struct Uniform {
        int location = -1;
        unsigned type = 0; // GLenum
        int size = 1;      // array length
    };

    ShaderProgram() = default;
    ShaderProgram(const ShaderProgram&) = delete;
    ShaderProgram& operator=(const ShaderProgram&) = delete;
    ~ShaderProgram();

    // Creates the program object (once) and sizes the unit table.
    void create();
    void attach(unsigned shaderId);
    // Links, reports the driver's log on failure ("Errors linking"), and
    // discovers the uniforms. `linked` is set either way.
    void link(const std::string& displayName);

    [[nodiscard]] int uniformLocation(const std::string& name) const;
    // Uploads to the program, which must be current; unknown names are ignored.
    void setUniform(const std::string& name, const UniformValue& value);
    // Uploads `count` matrices to an array uniform from its first element
    // ("bones" is "bones[0]" onwards), cut to the array's length.
    void setUniformArray(const std::string& name, const glm::mat4* values, int count);
    // Binds a texture for a sampler: reuses the unit it is on, else a free
    // unit, else a unit this program's samplers do not use (never unit 0).
    // Returns the unit or -1.
    int bindTexture(RenderState& state, const std::string& samplerName, Texture& texture);

    UniformSet defaults;               // values that belong to the program, not to a material
    unsigned id = 0;
    const Material* lastMaterial = nullptr; // whose values were last uploaded (null once it is gone)
    // What that material set, kept so that the next material can put back
    // what it does not set itself, even after the material is gone.
    std::map<std::string, UniformValue> lastMaterialValues;
    std::uint64_t lastGlobalsVersion = 0;   // of the renderer's global uniforms last applied
    const void* lastGlobals = nullptr;
    std::map<std::string, Uniform> uniforms;
    std::vector<int> unitSamplers; // per texture unit: the sampler location set to it, or -1
    bool linked = false;
};

} // namespace kit
