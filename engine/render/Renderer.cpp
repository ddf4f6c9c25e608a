#include "Renderer.h"

#include "Camera.h"
#include "Renderable.h"

#include "engine/physics/Transform.h"
#include "engine/render/state/RenderState.h"

#include <GL/glew.h>

namespace kit {

Renderer::Renderer(std::vector<TagId> spaceTags, UniformSet globals, bool, unsigned clearMask, float priority)
    : globals(std::move(globals)), spaceTags(std::move(spaceTags)), clearMask(clearMask)
{
    addTag(tagId("renderer"));
    addClassTags<Renderer>("renderSystem");
    setRenderPriority(priority);
}

void Renderer::initialize()
{
    state_ = world->renderState;
    TagSet opaque(spaceTags.begin(), spaceTags.end());
    TagSet cameras = opaque;
    opaque.insert(tagId("renderable"));
    opaque.insert(tagId("noblending"));
    cameras.insert(typeId<Camera>());
    opaque_ = world->getEntityCollection(opaque);
    cameras_ = world->getEntityCollection(cameras);
    renderables_ = world->getComponentsByRenderPriority(tagId("renderable"));
}

bool Renderer::inSpace(EntityID id) const
{
    for (TagId tag : spaceTags) {
        if (!world->entityHasTag(id, tag))
            return false;
    }
    return true;
}

void Renderer::drawEntity(Component* component)
{
    auto* renderable = static_cast<Renderable*>(component);
    if (!renderable || !renderable->enabled)
        return;
    const Transform* transform = world->getComponent<Transform>(renderable->entityId);
    if (!transform)
        return;
    if (world->entityHasTag(renderable->entityId, tagId("noCullFace")))
        state_->disable(GL_CULL_FACE);
    else
        state_->enable(GL_CULL_FACE);
    renderable->draw(*state_, transform->worldMatrix(), globals);
}

void Renderer::render(float)
{
    if (!state_ || !opaque_)
        return;

    // Camera: the first camera entity in this renderer's space, else identity.
    state_->view = glm::mat4(1.0f);
    state_->projection = glm::mat4(1.0f);
    if (!cameras_->empty()) {
        const EntityID id = cameras_->toVector().front().id;
        const Transform* transform = world->getComponent<Transform>(id);
        if (transform) {
            globals.set("eyePos", transform->worldPosition());
            state_->view = glm::inverse(transform->worldMatrix());
        }
        state_->projection = world->getComponent<Camera>(id)->projection;
    }
    state_->enable(GL_DEPTH_TEST);
    glClear(clearMask);

    const TagId renderable = tagId("renderable");
    state_->disable(GL_BLEND);
    glDepthMask(GL_TRUE);
    for (auto it = opaque_->begin(); it != opaque_->end(); ++it)
        drawEntity(world->getComponent((*it).id, renderable));

    state_->enable(GL_BLEND);
    glDepthMask(GL_FALSE);
    const TagId blending = tagId("blending");
    for (auto it = renderables_->begin(); it != renderables_->end(); ++it) {
        Component* c = *it;
        if (world->entityHasTag(c->entityId, blending) && inSpace(c->entityId))
            drawEntity(c);
    }
    state_->enable(GL_CULL_FACE);
    glDepthMask(GL_TRUE);

    // Later renderers (the overlay) draw without depth testing unless they turn it on.
    state_->enable(GL_BLEND);
    state_->disable(GL_DEPTH_TEST);
}

} // namespace kit
