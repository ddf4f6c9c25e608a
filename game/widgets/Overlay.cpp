#include "Overlay.h"
#include "TextFit.h"

#include "game/common/Tags.h"
#include "game/looks/OutlinedText.h"

#include "engine/core/Label.h"
#include "engine/core/World.h"
#include "engine/physics/Transform.h"
#include "engine/render/AspectMatcher.h"
#include "engine/render/Camera.h"
#include "engine/render/Renderer.h"
#include "engine/render/Sprite.h"
#include "engine/render/Text.h"
#include "engine/resources/ResourceManagers.h"
#include "engine/resources/Texture.h"

#include <GL/glew.h>

#include <glm/geometric.hpp>
#include <glm/gtc/quaternion.hpp>

#include <algorithm>
#include <vector>

namespace skyscuffle {

namespace widgets {
namespace {

constexpr float fontCellAspect = 34.0f / 64.0f; // width / height of a glyph cell

kit::EntityHandle placed(kit::World* world, glm::vec3 position, glm::vec3 scale = glm::vec3(1.0f))
{
    const kit::EntityHandle e = world->createEntity();
    world->emplaceComponent<kit::Transform>(e, position, scale, glm::quat(1, 0, 0, 0));
    world->addComponent(e, new kit::Label(tags::hudSpace));
    return e;
}

} // namespace

void addOverlay(kit::World* world, bool clears)
{
    const unsigned mask = clears ? (GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT) : 0u;
    world->emplaceComponent<kit::Renderer>(world->createEntity(), std::vector<kit::TagId>{kit::tagId(tags::hudSpace)},
                                           kit::UniformSet{}, false, mask, 1.0f);
    const kit::EntityHandle camera = placed(world, glm::vec3(0.0f));
    world->emplaceComponent<kit::AspectMatcher>(camera);
    world->emplaceComponent<kit::Camera>(camera, kit::overlayProjection());
}

kit::EntityHandle overlayEntity(kit::World* world, glm::vec3 position)
{
    return placed(world, position);
}

kit::Sprite* addPicture(kit::World* world, const std::string& path, glm::vec2 position, glm::vec2 size, float layer)
{
    const kit::EntityHandle e = overlayEntity(world, glm::vec3(position, 0.0f));
    return world->emplaceComponent<kit::Sprite>(e, kit::textureManager().getHandle(path), size.x, size.y, layer, true);
}

kit::Sprite* addBackdrop(kit::World* world, const std::string& path)
{
    // A unit picture scaled (2, 2) covers the camera's height; the matcher
    // stretches it across the window's width as well.
    const kit::EntityHandle e = placed(world, glm::vec3(0.0f), glm::vec3(2, 2, 1));
    world->emplaceComponent<kit::AspectMatcher>(e);
    return world->emplaceComponent<kit::Sprite>(e, kit::textureManager().getHandle(path), 1.0f, 1.0f, backdropLayer,
                                                true);
}

glm::vec3 vivid(glm::vec3 colour)
{
    const float largest = std::max({colour.r, colour.g, colour.b});
    const glm::vec3 bright = largest > 0.0f ? colour / largest : glm::vec3(1.0f);
    // Luma (Rec. 601 weights) is linear in the colour, so mixing in white by
    // t raises it by (1 - luma) t: just enough to reach the floor.
    constexpr float floor = 0.55f;
    const float luma = glm::dot(bright, glm::vec3(0.299f, 0.587f, 0.114f));
    if (luma >= floor)
        return bright;
    const float t = (floor - luma) / (1.0f - luma);
    return bright + (glm::vec3(1.0f) - bright) * t;
}

void showDrawn(kit::World& world, kit::EntityHandle entity, bool visible)
{
    if (const auto* parts = world.componentsOf(entity.id)) {
        for (kit::Component* c : *parts)
            if (c->hasTag(kit::tagId("renderable")))
                c->enabled = visible;
    }
    if (const auto* transform = world.getComponent<kit::Transform>(entity.id))
        for (const kit::EntityHandle& child : std::vector<kit::EntityHandle>(transform->children))
            showDrawn(world, child, visible);
}

float glyphAdvance(float size)
{
    return size * fontCellAspect;
}

kit::Text* addText(kit::World* world, const std::string& words, glm::vec2 origin, float size, glm::vec3 colour,
                   bool shadowed, float layer)
{
    return addOutlinedText(*world, overlayEntity(world, glm::vec3(0.0f)), words, origin, size, colour, layer, shadowed);
}

void setText(kit::Text* text, const std::string& value)
{
    setOutlinedText(text, value);
    refit(text);
}

} // namespace widgets

} // namespace skyscuffle
