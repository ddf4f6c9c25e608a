#pragma once

namespace kit {

// One compiled shader stage (GL shader object). 0 until compiled.
class Shader {
public:
    Shader() = default;
    Shader(const Shader&) = delete;
    Shader& operator=(const Shader&) = delete;
    ~Shader();

    unsigned id = 0;
};

// Stage enumerants (GLenum values) for code that does not see OpenGL's headers.
namespace stage {
constexpr unsigned vertex = 0x8B31;
constexpr unsigned fragment = 0x8B30;
constexpr unsigned geometry = 0x8DD9;
constexpr unsigned tessControl = 0x8E88;
constexpr unsigned tessEvaluation = 0x8E87;
} // namespace stage

} // namespace kit
