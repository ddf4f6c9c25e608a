#include "PlaneMarks.h"

#include "game/common/Tags.h"
#include "game/looks/OutlinedText.h"
#include "game/players/PlayerColours.h"
#include "game/players/PlayerInfo.h"

#include "engine/core/Label.h"
#include "engine/core/World.h"
#include "engine/physics/Transform.h"
#include "engine/render/Camera.h"

#include <string>

namespace skyscuffle {

namespace {

// Under the gauges (their layers start at -1), over the rest of the HUD's back.
constexpr float markLayer = -1.5f;
// A mark's shape stands this far above its plane's middle, in world units:
// clear of the plane's circle (radius 2) whichever way it is turned.
constexpr float lift = 2.2f;
// The font's cells are 34 x 64, and a shape's middle is at 0.53 of its cell's
// height (the capitals' middle, tools/font).
constexpr float advance = PlaneMarks::size * 34.0f / 64.0f;
constexpr float shapeMiddle = 0.53f;

// Shows or hides a mark's shape and its outline.
void show(kit::World& world, kit::EntityHandle mark, bool shown)
{
    if (const auto* parts = world.componentsOf(mark.id)) {
        for (kit::Component* c : *parts)
            if (c->hasTag(kit::tagId("renderable")))
                c->enabled = shown;
    }
}

// The first camera whose entity is in the space (as a renderer finds it).
std::optional<kit::EntityID> firstOf(kit::EntityCollection* cameras)
{
    if (!cameras || cameras->empty())
        return std::nullopt;
    return (*cameras->begin()).id;
}

} // namespace

PlaneMarks::PlaneMarks()
{
    addTag(kit::tagId("renderer"));
    addClassTags<PlaneMarks>("planeMarks");
    setRenderPriority(0.5f); // after the scene's renderer (0), before the HUD's (1)
}

void PlaneMarks::initialize()
{
    sceneCameras_ = world->getEntityCollection({kit::tagId(tags::gameSpace), kit::typeId<kit::Camera>()});
    hudCameras_ = world->getEntityCollection({kit::tagId(tags::hudSpace), kit::typeId<kit::Camera>()});
}

void PlaneMarks::update(float)
{
    // Marks of planes that are gone go too.
    for (auto it = marks.begin(); it != marks.end();) {
        if (world->getComponent<kit::Transform>(it->first) && world->getComponent<PlayerInfo>(it->first)) {
            ++it;
            continue;
        }
        world->destroyEntity(it->second);
        it = marks.erase(it);
    }
    for (const kit::EntityHandle& plane : world->getEntities(kit::tagId(tags::plane))->toVector()) {
        const auto* info = world->getComponent<PlayerInfo>(plane.id);
        if (marks.contains(plane.id) || !info || !world->getComponent<kit::Transform>(plane.id))
            continue;
        const std::optional<Shape> shape = shapeOfLivery(info->modelTexture);
        if (!shape)
            continue;
        const kit::EntityHandle mark = world->createEntity();
        world->addComponent(mark, new kit::Label(tags::hudSpace));
        world->addComponent(mark, new kit::Transform(glm::vec3(0.0f)));
        // One glyph, its cell one advance right of the origin: the origin
        // puts the shape's middle on the mark's place.
        addOutlinedText(*world, mark, std::string{glyphOf(*shape)}, glm::vec2(-1.5f * advance, -shapeMiddle * size),
                        size, brightColour(info->colour), markLayer);
        show(*world, mark, false); // until placed
        marks.emplace(plane.id, mark);
    }
}

std::optional<glm::vec2> PlaneMarks::onHud(glm::vec3 point, const glm::mat4& sceneView,
                                           const glm::mat4& sceneProjection, const glm::mat4& hudPlace,
                                           const glm::mat4& hudProjection)
{
    const glm::vec4 clip = sceneProjection * sceneView * glm::vec4(point, 1.0f);
    if (clip.w <= 0.0f)
        return std::nullopt;
    const glm::vec4 device(clip.x / clip.w, clip.y / clip.w, 0.0f, 1.0f);
    const glm::vec4 hud = hudPlace * glm::inverse(hudProjection) * device;
    return glm::vec2(hud.x, hud.y) / hud.w;
}

void PlaneMarks::render(float)
{
    const std::optional<kit::EntityID> scene = firstOf(sceneCameras_);
    const std::optional<kit::EntityID> hud = firstOf(hudCameras_);
    const kit::Transform* eye = scene ? world->getComponent<kit::Transform>(*scene) : nullptr;
    const kit::Transform* overlay = hud ? world->getComponent<kit::Transform>(*hud) : nullptr;
    for (const auto& [plane, mark] : marks) {
        const kit::Transform* at = world->getComponent<kit::Transform>(plane);
        auto* place = world->getComponent<kit::Transform>(mark.id);
        std::optional<glm::vec2> shown;
        if (eye && overlay && at && place) {
            shown = onHud(at->worldPosition() + glm::vec3(0.0f, lift, 0.0f), glm::inverse(eye->worldMatrix()),
                          world->getComponent<kit::Camera>(*scene)->projection, overlay->worldMatrix(),
                          world->getComponent<kit::Camera>(*hud)->projection);
        }
        if (shown)
            place->position = glm::vec3(shown->x, shown->y + shapeMiddle * size * 0.6f, 0.0f);
        show(*world, mark, shown.has_value());
    }
}

void showPlaneMarks(kit::World& world)
{
    world.addComponent(world.createEntity(), new PlaneMarks);
}

} // namespace skyscuffle
