#include "Renderable.h"

#include "engine/core/Label.h"
#include "engine/core/World.h"

namespace kit {

Renderable::Renderable(bool blending) : blending(blending)
{
    addTag(tagId("renderable"));
}

void Renderable::initialize()
{
    world->addComponent(getEntity(), new Label(blending ? "blending" : "noblending"));
}

} // namespace kit
