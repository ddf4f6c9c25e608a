#pragma once

#include "Component.h"
#include "LiveSet.h"
#include "Signal.h"

#include <functional>

namespace kit {

// The components of one world that carry one tag, ordered by Compare. The world
// builds it from its current contents and keeps it current through its added
// and removed signals; iterating it is safe against removals (see LiveSet).
template <class Compare>
class SortedComponentCollection {
public:
    using Items = LiveSet<Component*, Compare>;

    explicit SortedComponentCollection(TagId tag) : tag_(tag) {}

    [[nodiscard]] TagId tag() const { return tag_; }
    [[nodiscard]] auto begin() { return items_.begin(); }
    [[nodiscard]] auto end() const { return items_.end(); }
    [[nodiscard]] std::size_t size() const { return items_.size(); }
    [[nodiscard]] bool empty() const { return items_.empty(); }
    [[nodiscard]] bool contains(Component* c) const { return items_.contains(c); }
    // The first component in order, or null.
    [[nodiscard]] Component* first() const { return items_.empty() ? nullptr : *items_.first(); }
    [[nodiscard]] std::vector<Component*> toVector() const { return items_.toVector(); }

    // Called by the world while it keeps the collection current.
    void insert(Component* c) { items_.insert(c); }
    void erase(Component* c) { items_.erase(c); }
    void keep(Connection added, Connection removed)
    {
        added_ = std::move(added);
        removed_ = std::move(removed);
    }

private:
    Items items_;
    TagId tag_;
    ScopedConnection added_;
    ScopedConnection removed_;
};

// The components of one world that carry one tag, ordered by address.
using ComponentCollection = SortedComponentCollection<std::less<Component*>>;

} // namespace kit
