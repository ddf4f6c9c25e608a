#include "UniformOverrides.h"

#include "ShaderProgram.h"

#include <algorithm>

namespace kit {

void UniformOverrides::set(std::string_view name, const UniformValue& value)
{
    auto found = std::find_if(entries_.begin(), entries_.end(), [name](const Entry& e) { return e.name == name; });
    if (found != entries_.end())
        found->value = value;
    else
        entries_.push_back(Entry{std::string(name), value});
}

bool UniformOverrides::remove(std::string_view name)
{
    auto found = std::find_if(entries_.begin(), entries_.end(), [name](const Entry& e) { return e.name == name; });
    if (found == entries_.end())
        return false;
    entries_.erase(found);
    return true;
}

const UniformValue* UniformOverrides::find(std::string_view name) const
{
    auto found = std::find_if(entries_.begin(), entries_.end(), [name](const Entry& e) { return e.name == name; });
    return found == entries_.end() ? nullptr : &found->value;
}

void UniformOverrides::apply(ShaderProgram& program) const
{
    for (const Entry& entry : entries_)
        program.setOverride(entry.name, entry.value);
}

} // namespace kit
