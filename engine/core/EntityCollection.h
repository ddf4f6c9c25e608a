#pragma once

#include "EntityHandle.h"
#include "LiveSet.h"
#include "Signal.h"
#include "Tags.h"

#include <vector>

namespace kit {

class Component;
class World;

// The entities of one world that have, for every tag of a tag set, at least one
// component carrying it; ordered by entity id. Built by the world on first
// request and kept current through the world's added and removed signals.
class EntityCollection {
public:
    struct ById {
        bool operator()(const EntityHandle& a, const EntityHandle& b) const { return a.id < b.id; }
    };
    using Items = LiveSet<EntityHandle, ById>;

    EntityCollection(World& world, const TagSet& tags);
    EntityCollection(const EntityCollection&) = delete;
    EntityCollection& operator=(const EntityCollection&) = delete;

    [[nodiscard]] const TagSet& tags() const { return tags_; }
    [[nodiscard]] auto begin() { return items_.begin(); }
    [[nodiscard]] auto end() const { return items_.end(); }
    [[nodiscard]] std::size_t size() const { return items_.size(); }
    [[nodiscard]] bool empty() const { return items_.empty(); }
    [[nodiscard]] bool contains(EntityID id) const { return items_.contains(EntityHandle{id, nullptr}); }
    [[nodiscard]] std::vector<EntityHandle> toVector() const { return items_.toVector(); }

private:
    [[nodiscard]] bool hasEveryTag(EntityID id) const;
    void onAdded(Component* c);
    void onRemoved(Component* c);

    World& world_;
    TagSet tags_;
    Items items_;
    std::vector<ScopedConnection> connections_;
};

} // namespace kit
