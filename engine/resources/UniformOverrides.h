#pragma once

#include "UniformValue.h"

#include <boost/container/small_vector.hpp>

#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>

namespace kit {

class ShaderProgram;

// Uniform values of one drawn thing (a particle's "alpha" and "color", a
// health bar's "value") that go over those of a material it shares with
// others. The material is never changed: these values are uploaded after it
// on every draw of their owner, and the program puts the material's own
// values back on its next material use. Names are short (std::string keeps
// them inline) and an owner has one or two of them, so setting a value it
// already has, or one of its first two, does not touch the heap.
class UniformOverrides {
public:
    struct Entry {
        std::string name;
        UniformValue value;
    };

    void set(std::string_view name, const UniformValue& value);
    // Exactly bool, stored as the int 0 or 1, as materials do.
    template <class Bool>
        requires std::is_same_v<Bool, bool>
    void set(std::string_view name, Bool value)
    {
        set(name, UniformValue(value ? 1 : 0));
    }
    // Forgets a value, so that the material's shows again. False when there was none.
    bool remove(std::string_view name);

    [[nodiscard]] const UniformValue* find(std::string_view name) const;
    template <class T>
    [[nodiscard]] const T* get(std::string_view name) const
    {
        const UniformValue* value = find(name);
        return value ? std::get_if<T>(value) : nullptr;
    }
    [[nodiscard]] bool empty() const { return entries_.empty(); }
    [[nodiscard]] std::size_t size() const { return entries_.size(); }
    [[nodiscard]] auto begin() const { return entries_.begin(); }
    [[nodiscard]] auto end() const { return entries_.end(); }

    // Uploads every value to the program, which must be current, after its
    // material's values (see ShaderProgram::setOverride).
    void apply(ShaderProgram& program) const;

private:
    boost::container::small_vector<Entry, 2> entries_;
};

} // namespace kit
