#include "Renderer.h"

#include "RenderSettings.h"

#include "Camera.h"
#include "Model.h"
#include "Renderable.h"
#include "ResolutionScale.h"

#include "engine/physics/Transform.h"
#include "engine/render/state/RenderState.h"
#include "engine/resources/Material.h"
#include "engine/resources/Mesh.h"
#include "engine/resources/ShaderProgram.h"
#include "engine/resources/VertexBuffer.h"

#include <GL/glew.h>

#include <glm/common.hpp>

namespace kit {
namespace {

bool linked(const ResourceHandle<ShaderProgram>& program)
{
    return program.isLoaded() && program->linked;
}

} // namespace

Renderer::Renderer(std::vector<TagId> spaceTags, UniformSet globals, bool, unsigned clearMask, float priority)
    : globals(std::move(globals)), spaceTags(std::move(spaceTags)), clearMask(clearMask)
{
    batching = renderSettings::batching.value();
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

void Renderer::collect(Component* component, bool footprints)
{
    auto* renderable = static_cast<Renderable*>(component);
    if (!renderable || !renderable->enabled)
        return;
    renderable->prepare();
    const Transform* transform = world->getComponent<Transform>(renderable->entityId);
    if (!transform)
        return;
    DrawItem& item = items_.emplace_back();
    item.renderable = renderable;
    item.model = transform->worldMatrix();
    item.priority = renderable->renderPriority();
    item.additive = world->entityHasTag(renderable->entityId, tagId("additiveBlending"));
    item.cullFace = !world->entityHasTag(renderable->entityId, tagId("noCullFace"));
    if (!batching)
        return;

    Model* model = renderable->instanceable();
    if (!model)
        return;
    const ResourceHandle<Mesh>& mesh = model->meshFor(*state_, item.model);
    if (!mesh.isLoaded() || mesh->parts.size() != 1)
        return;
    const Mesh::Part& part = mesh->parts.front();
    Material* material = model->material ? model->material.get() : part.material.get();
    if (!part.buffer || !material || !linked(material->shaderProgram) || !linked(material->instancedProgram))
        return;
    item.instanced = model;
    item.buffer = part.buffer.get();
    item.material = material;
    if (footprints && part.buffer->boundsKnown())
        item.footprint = projectBox(state_->projection * state_->view * item.model, part.buffer->bounds().min,
                                    part.buffer->bounds().max);
}

void Renderer::drawOne(const DrawItem& item)
{
    if (item.cullFace)
        state_->enable(GL_CULL_FACE);
    else
        state_->disable(GL_CULL_FACE);
    item.renderable->draw(*state_, item.model, globals);
}

void Renderer::drawItems(bool reorder)
{
    if (!batching) {
        for (const DrawItem& item : items_)
            drawOne(item);
        return;
    }
    for (const DrawBatcher::Batch& batch : batcher_.group(items_, reorder)) {
        if (batch.size() > 1) {
            if (!instanced_)
                instanced_ = std::make_unique<InstancedDraw>();
            if (instanced_->draw(*state_, globals, items_, batch))
                continue;
        }
        for (const std::size_t index : batch)
            drawOne(items_[index]);
    }
}

void Renderer::render(float)
{
    if (!state_ || !opaque_)
        return;

    // Camera: the first camera entity in this renderer's space, else identity.
    state_->view = glm::mat4(1.0f);
    state_->projection = glm::mat4(1.0f);
    if (!cameras_->empty()) {
        const EntityID id = (*cameras_->begin()).id; // no copy of the collection each frame
        const Transform* transform = world->getComponent<Transform>(id);
        if (transform) {
            globals.set("eyePos", transform->worldPosition());
            state_->view = glm::inverse(transform->worldMatrix());
        }
        state_->projection = world->getComponent<Camera>(id)->projection;
    }
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    const glm::ivec2 screen(viewport[2], viewport[3]);
    state_->viewport = screen;
    bool scaled = false;
    if (scalesWithResolution) {
        // Read every frame: the Options screen changes the choice mid-match.
        const float scale = resolutionScale(renderSettings::resolutionScale.value(), state_->softwareRenderer, screen,
                                            renderSettings::softwarePixels.value());
        if (scale < 1.0f) {
            const glm::ivec2 size = glm::max(glm::ivec2(glm::round(glm::vec2(screen) * scale)), glm::ivec2(1));
            if (!scaled_)
                scaled_ = std::make_unique<ScaledScene>();
            scaled = scaled_->begin(size);
            if (scaled)
                state_->viewport = size;
        }
    }

    state_->enable(GL_DEPTH_TEST);
    // Depth values written through another renderer's camera mean nothing
    // through this one: each renderer starts from a clean depth buffer, so a
    // later one (the overlay, whose clear mask is 0) always draws over an
    // earlier one while its own shapes still hide each other. glDepthMask
    // must be on for the clear to reach the buffer.
    glDepthMask(GL_TRUE);
    glClear(clearMask | GL_DEPTH_BUFFER_BIT);

    // "additiveBlending" overrides the renderable's own choice: such an
    // entity is drawn in the blended pass only, whenever the label came.
    // Opaque draws write depth, so they keep their entity order exactly:
    // only neighbours share a draw.
    const TagId renderable = tagId("renderable");
    const TagId additive = tagId("additiveBlending");
    state_->disable(GL_BLEND);
    items_.clear();
    for (auto it = opaque_->begin(); it != opaque_->end(); ++it) {
        if (!world->entityHasTag((*it).id, additive))
            collect(world->getComponent((*it).id, renderable), false);
    }
    drawItems(false);

    state_->enable(GL_BLEND);
    glDepthMask(GL_FALSE);
    const TagId blending = tagId("blending");
    items_.clear();
    for (auto it = renderables_->begin(); it != renderables_->end(); ++it) {
        Component* c = *it;
        const bool blended = world->entityHasTag(c->entityId, blending) || world->entityHasTag(c->entityId, additive);
        if (blended && inSpace(c->entityId))
            collect(c, true);
    }
    drawItems(true);
    glDepthMask(GL_TRUE);
    if (scaled) {
        scaled_->end(*state_, screen);
        state_->viewport = screen;
    }
    state_->enable(GL_CULL_FACE);

    // Later renderers (the overlay) draw without depth testing unless they turn it on.
    state_->enable(GL_BLEND);
    state_->disable(GL_DEPTH_TEST);
}

} // namespace kit
