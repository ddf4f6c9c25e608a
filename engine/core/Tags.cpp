#include "Tags.h"

#include <string>
#include <unordered_map>

namespace kit {
namespace {

TagId tagCounter = 0;

// Transparent hashing lets string_view look-ups skip building a std::string.
struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};

std::unordered_map<std::string, TagId, NameHash, std::equal_to<>>& internTable()
{
    static std::unordered_map<std::string, TagId, NameHash, std::equal_to<>> table;
    return table;
}

} // namespace

TagId nextTagId()
{
    return ++tagCounter;
}

TagId tagId(std::string_view name)
{
    auto& table = internTable();
    if (auto found = table.find(name); found != table.end())
        return found->second;
    const TagId id = nextTagId();
    table.emplace(std::string(name), id);
    return id;
}

std::optional<TagId> findTagId(std::string_view name)
{
    auto& table = internTable();
    if (auto found = table.find(name); found != table.end())
        return found->second;
    return std::nullopt;
}

} // namespace kit
