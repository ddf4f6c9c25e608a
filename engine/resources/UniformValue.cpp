#include "UniformValue.h"

#include <GL/glew.h>
#include <glm/gtc/type_ptr.hpp>

namespace kit {

void uploadUniform(int location, const UniformValue& value)
{
    std::visit(
        [location](const auto& v) {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, float>)
                glUniform1f(location, v);
            else if constexpr (std::is_same_v<T, int>)
                glUniform1i(location, v);
            else if constexpr (std::is_same_v<T, unsigned>)
                glUniform1ui(location, v);
            else if constexpr (std::is_same_v<T, glm::vec2>)
                glUniform2fv(location, 1, glm::value_ptr(v));
            else if constexpr (std::is_same_v<T, glm::ivec2>)
                glUniform2iv(location, 1, glm::value_ptr(v));
            else if constexpr (std::is_same_v<T, glm::uvec2>)
                glUniform2uiv(location, 1, glm::value_ptr(v));
            else if constexpr (std::is_same_v<T, glm::vec3>)
                glUniform3fv(location, 1, glm::value_ptr(v));
            else if constexpr (std::is_same_v<T, glm::ivec3>)
                glUniform3iv(location, 1, glm::value_ptr(v));
            else if constexpr (std::is_same_v<T, glm::uvec3>)
                glUniform3uiv(location, 1, glm::value_ptr(v));
            else if constexpr (std::is_same_v<T, glm::vec4>)
                glUniform4fv(location, 1, glm::value_ptr(v));
            else if constexpr (std::is_same_v<T, glm::ivec4>)
                glUniform4iv(location, 1, glm::value_ptr(v));
            else if constexpr (std::is_same_v<T, glm::uvec4>)
                glUniform4uiv(location, 1, glm::value_ptr(v));
            else if constexpr (std::is_same_v<T, glm::mat2>)
                glUniformMatrix2fv(location, 1, GL_FALSE, glm::value_ptr(v));
            else if constexpr (std::is_same_v<T, glm::mat3>)
                glUniformMatrix3fv(location, 1, GL_FALSE, glm::value_ptr(v));
            else
                glUniformMatrix4fv(location, 1, GL_FALSE, glm::value_ptr(v));
        },
        value);
}

UniformValue zeroLike(const UniformValue& like)
{
    return std::visit([](const auto& v) -> UniformValue { return std::decay_t<decltype(v)>(0); }, like);
}

} // namespace kit
