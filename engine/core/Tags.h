#pragma once

#include <boost/container/flat_set.hpp>

#include <cstdint>
#include <optional>
#include <string_view>

namespace kit {

// A tag names a kind of component. Interned names and class type ids are drawn
// from one process-wide counter, so the two never collide. Ids depend on the
// order of first use: they are never written to files or sent to peers.
using TagId = std::uint32_t;

// Sorted, unique, contiguous: tag sets are small and searched far more often
// than they change.
using TagSet = boost::container::flat_set<TagId>;

// Takes the next id from the shared counter (the first id is 1).
TagId nextTagId();

// Interns a name: the first call with a given string takes a new id, later
// calls return the same id. The empty string is an ordinary tag.
TagId tagId(std::string_view name);

// The id of a name interned before, without interning it: for names that come
// from outside (the network), which must not grow the table.
std::optional<TagId> findTagId(std::string_view name);

// The class type id of T, taken from the shared counter on first request.
template <class T>
TagId typeId()
{
    static const TagId id = nextTagId();
    return id;
}

} // namespace kit
