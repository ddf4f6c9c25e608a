#pragma once

#include "EntityID.h"

namespace kit {

class World;

// Names an entity together with the world it lives in. Handles order by id
// alone: the world pointer takes no part in the order.
struct EntityHandle {
    EntityID id;
    World* world = nullptr;

    friend bool operator==(const EntityHandle&, const EntityHandle&) = default;
    friend bool operator<(const EntityHandle& a, const EntityHandle& b) { return a.id < b.id; }

    // An empty handle names no entity (the default value).
    [[nodiscard]] bool empty() const { return world == nullptr && id == EntityID{}; }
};

} // namespace kit
