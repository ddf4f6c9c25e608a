#pragma once

#include "engine/core/AliveFlag.h"
#include "engine/core/Behavior.h"
#include "engine/core/EntityHandle.h"
#include "engine/core/Tags.h"

#include <glm/vec2.hpp>

#include <functional>
#include <memory>
#include <vector>

namespace kit {

// Calls gameplay code once per frame for each entity its entity overlaps among
// those carrying all of its filter tags: first for the contacts its rigid body
// recorded this frame, then for the overlaps found by asking the colliders.
// A callback returning true ends the signal's work for the frame. A callback
// may destroy any entity at once, its own included (a bullet that hits, a
// pick-up that is taken): the signal then stops touching itself.
class CollisionSignal : public Behavior {
public:
    // The component passed is the signal itself; the vector is the separation
    // of the signal's own entity from the other.
    using Callback = std::function<bool(Component* self, EntityHandle other, glm::vec2 separation)>;

    CollisionSignal(const std::vector<TagId>& tags, Callback callback);
    CollisionSignal(TagId tag, Callback callback);

    void update(float dt) override;

    TagSet filterTags; // the given tags plus "transform" and "collider"
    // Shared, so that a call that deletes this component does not delete the
    // function it is running.
    std::shared_ptr<const Callback> callback;

private:
    [[nodiscard]] bool passesFilter(EntityID id) const;

    AliveFlag alive_;
};

} // namespace kit
