#pragma once

#include <glm/mat2x2.hpp>
#include <glm/mat3x3.hpp>
#include <glm/mat4x4.hpp>
#include <glm/vec2.hpp>
#include <glm/vec3.hpp>
#include <glm/vec4.hpp>

#include <cstdint>
#include <map>
#include <string>
#include <type_traits>
#include <variant>

namespace kit {

// A value for a shader uniform. A bool is stored as the int 0 or 1.
using UniformValue = std::variant<float, int, unsigned, glm::vec2, glm::ivec2, glm::uvec2, glm::vec3, glm::ivec3,
                                  glm::uvec3, glm::vec4, glm::ivec4, glm::uvec4, glm::mat2, glm::mat3, glm::mat4>;

// Uploads a value to a location of the current program with the glUniform
// call of its type (count 1, matrices not transposed).
void uploadUniform(int location, const UniformValue& value);

// The zero of the same type as `like`.
UniformValue zeroLike(const UniformValue& like);

// Named uniform values with a version that changes on every write, so that
// users can tell whether they still hold what was last applied.
class UniformSet {
public:
    void set(const std::string& name, const UniformValue& value)
    {
        values_[name] = value;
        ++version_;
    }
    // Exactly bool: other arithmetic types must not convert to it on the way.
    template <class Bool>
        requires std::is_same_v<Bool, bool>
    void set(const std::string& name, Bool value)
    {
        set(name, UniformValue(value ? 1 : 0));
    }

    [[nodiscard]] const UniformValue* find(const std::string& name) const
    {
        auto found = values_.find(name);
        return found == values_.end() ? nullptr : &found->second;
    }
    template <class T>
    [[nodiscard]] const T* get(const std::string& name) const
    {
        const UniformValue* value = find(name);
        return value ? std::get_if<T>(value) : nullptr;
    }

    [[nodiscard]] const std::map<std::string, UniformValue>& values() const { return values_; }
    [[nodiscard]] std::uint64_t version() const { return version_; }

private:
    std::map<std::string, UniformValue> values_;
    std::uint64_t version_ = 1;
};

} // namespace kit
