#include "ShaderProgram.h"

#include "Texture.h"

#include "engine/core/Log.h"
#include "engine/render/state/RenderState.h"

#include <GL/glew.h>

#include <algorithm>

namespace kit {

ShaderProgram::~ShaderProgram()
{
    if (id != 0 && RenderState::contextAlive())
        glDeleteProgram(id);
}

void ShaderProgram::create()
{
    if (id != 0)
        return;
    id = glCreateProgram();
    GLint units = 0;
    glGetIntegerv(GL_MAX_COMBINED_TEXTURE_IMAGE_UNITS, &units);
    unitSamplers.assign(static_cast<std::size_t>(std::max(units, 1)), -1);
}

void ShaderProgram::attach(unsigned shaderId)
{
    create();
    glAttachShader(id, shaderId);
}

void ShaderProgram::link(const std::string& displayName)
{
    create();
    glLinkProgram(id);
    GLint status = GL_FALSE;
    glGetProgramiv(id, GL_LINK_STATUS, &status);
    if (status != GL_TRUE) {
        GLint length = 0;
        glGetProgramiv(id, GL_INFO_LOG_LENGTH, &length);
        std::vector<GLchar> log(static_cast<std::size_t>(std::max(length, 1)), '\0');
        glGetProgramInfoLog(id, length, nullptr, log.data());
        kit::log::error() << "Errors linking \"" << displayName << "\":\n" << log.data() << "\n";
    }

    GLint count = 0, longest = 0;
    glGetProgramiv(id, GL_ACTIVE_UNIFORMS, &count);
    glGetProgramiv(id, GL_ACTIVE_UNIFORM_MAX_LENGTH, &longest);
    std::vector<GLchar> buffer(static_cast<std::size_t>(std::max(longest, 1) + 1), '\0');
    for (GLint i = 0; i < count; ++i) {
        GLint size = 0;
        GLenum type = 0;
        GLsizei written = 0;
        glGetActiveUniform(id, static_cast<GLuint>(i), static_cast<GLsizei>(buffer.size()), &written, &size, &type,
                           buffer.data());
        const std::string name(buffer.data(), static_cast<std::size_t>(written));
        uniforms[name] = Uniform{glGetUniformLocation(id, name.c_str()), type, size};
        // Arrays: every element by its own name, "lights[0]" to "lights[n-1]".
        if (size > 1 && name.size() > 3 && name.compare(name.size() - 3, 3, "[0]") == 0) {
            const std::string base = name.substr(0, name.size() - 3);
            // Element 0 is the entry above, which keeps the array's length.
            for (GLint k = 1; k < size; ++k) {
                const std::string element = base + "[" + std::to_string(k) + "]";
                uniforms[element] = Uniform{glGetUniformLocation(id, element.c_str()), type, 1};
            }
        }
    }
    discoverAttributes();
    linked = true;
}

void ShaderProgram::discoverAttributes()
{
    GLint count = 0, longest = 0;
    glGetProgramiv(id, GL_ACTIVE_ATTRIBUTES, &count);
    glGetProgramiv(id, GL_ACTIVE_ATTRIBUTE_MAX_LENGTH, &longest);
    std::vector<GLchar> buffer(static_cast<std::size_t>(std::max(longest, 1) + 1), '\0');
    for (GLint i = 0; i < count; ++i) {
        GLint size = 0;
        GLenum type = 0;
        GLsizei written = 0;
        glGetActiveAttrib(id, static_cast<GLuint>(i), static_cast<GLsizei>(buffer.size()), &written, &size, &type,
                          buffer.data());
        const std::string name(buffer.data(), static_cast<std::size_t>(written));
        const GLint location = glGetAttribLocation(id, name.c_str());
        if (location >= 0) // built-in inputs (gl_VertexID) have none
            attributes[name] = Attribute{location, type, size};
    }
}

int ShaderProgram::uniformLocation(const std::string& name) const
{
    auto found = uniforms.find(name);
    return found == uniforms.end() ? -1 : found->second.location;
}

void ShaderProgram::setUniform(const std::string& name, const UniformValue& value)
{
    auto found = uniforms.find(name);
    if (found == uniforms.end() || found->second.location < 0)
        return;
    uploadUniform(found->second.location, value);
}

void ShaderProgram::setOverride(const std::string& name, const UniformValue& value)
{
    auto found = uniforms.find(name);
    if (found == uniforms.end() || found->second.location < 0)
        return;
    uploadUniform(found->second.location, value);
    const auto* uniform = &*found;
    const bool noted = std::any_of(overridden.begin(), overridden.end(),
                                   [uniform](const Uploaded& o) { return o.uniform == uniform; });
    if (!noted)
        overridden.push_back(Uploaded{uniform, zeroLike(value)});
}

void ShaderProgram::setUniformArray(const std::string& name, const glm::mat4* values, int count)
{
    auto found = uniforms.find(name + "[0]");
    if (found == uniforms.end() || found->second.location < 0 || count <= 0)
        return;
    glUniformMatrix4fv(found->second.location, std::min(count, found->second.size), GL_FALSE,
                       reinterpret_cast<const GLfloat*>(values));
}

int ShaderProgram::bindTexture(RenderState& state, const std::string& samplerName, Texture& texture)
{
    const int location = uniformLocation(samplerName);
    if (location < 0 || unitSamplers.empty())
        return -1;

    // The unit already holding the texture, else an empty one, else one our
    // samplers do not need. Unit 0 is left out: it is never recorded (uploads
    // use it), so two textures put there would silently replace each other.
    int unit = state.unitWithTexture(texture.id);
    const bool alreadyBound = unit >= 0;
    const int units = std::min(static_cast<int>(unitSamplers.size()), state.textureUnitCount());
    if (unit < 0) {
        for (int u = 1; u < units && unit < 0; ++u) {
            if (state.boundTexture(u) == 0)
                unit = u;
        }
    }
    if (unit < 0) {
        for (int u = 1; u < units && unit < 0; ++u) {
            const int holder = unitSamplers[static_cast<std::size_t>(u)];
            if (holder == -1 || holder == location)
                unit = u;
        }
    }
    if (unit < 0)
        return -1;
    if (!alreadyBound)
        texture.bind(state, unit);

    if (unitSamplers[static_cast<std::size_t>(unit)] != location) {
        glUniform1i(location, unit);
        std::replace(unitSamplers.begin(), unitSamplers.end(), location, -1);
        unitSamplers[static_cast<std::size_t>(unit)] = location;
        state.countChange();
    }
    return unit;
}

} // namespace kit
