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
    // A vertex input; a matrix takes one location per column from `location` on.
    struct Attribute {
        int location = -1;
        unsigned type = 0; // GLenum
        int size = 1;
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

    // Fills `attributes` (link() does, after linking).
    void discoverAttributes();

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

    // Uploads one drawn thing's value over its material's and notes the
    // uniform as overridden, so that the next material use (of any material)
    // puts back what the material or the program says it should be.
    void setOverride(const std::string& name, const UniformValue& value);

    // A uniform that holds a value some material or entity uploaded, with the
    // zero of that value's type for when nothing else gives it one.
    struct Uploaded {
        const std::pair<const std::string, Uniform>* uniform; // an entry of `uniforms`
        UniformValue zero;
    };

    UniformSet defaults; // values that belong to the program, not to a material
    unsigned id = 0;
    const Material* lastMaterial = nullptr; // whose values were last uploaded (null once it is gone)
    // What that material set, kept so that the next material can put back
    // what it does not set itself, even after the material is gone. Refilled
    // in place: once grown, switching materials does not allocate.
    std::vector<Uploaded> lastMaterialValues;
    // Uniforms that entities set over the last material's values since that
    // material was last used (usually none, or one particle's few).
    std::vector<Uploaded> overridden;
    std::uint64_t lastGlobalsVersion = 0; // of the renderer's global uniforms last applied
    const void* lastGlobals = nullptr;
    std::map<std::string, Uniform> uniforms;     // filled once by link(); entries keep their addresses
    std::map<std::string, Attribute> attributes; // the active vertex inputs, filled by link()
    std::vector<int> unitSamplers;               // per texture unit: the sampler location set to it, or -1
    bool linked = false;
};

} // namespace kit
