#include "ViewSampler.h"

#include "game/common/Tags.h"
#include "game/common/ViewLog.h"

#include "engine/core/World.h"
#include "engine/physics/Transform.h"

namespace skyscuffle {

ViewSampler::ViewSampler()
{
    addClassTags<ViewSampler>("viewSampler");
    // After the bodies, the glide and the collisions: what the frame draws.
    setUpdatePriority(998.0f);
}

void ViewSampler::update(float dt)
{
    // A frame of no time (a simulator's second pass) shows nothing new.
    if (!world || !viewLog::active() || !(dt > 0.0f))
        return;
    for (const kit::EntityHandle& plane : world->getEntities(kit::tagId(tags::plane))->toVector())
        if (const auto* transform = world->getComponent<kit::Transform>(plane.id))
            viewLog::plane(plane.id, transform->worldPosition());
}

} // namespace skyscuffle
