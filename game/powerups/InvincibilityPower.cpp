#include "InvincibilityPower.h"

#include "PowerSettings.h"

#include "game/effects/EffectSettings.h"

#include "engine/core/World.h"
#include "engine/physics/Transform.h"
#include "engine/render/Model.h"

#include <glm/vec3.hpp>

#include <algorithm>
#include <cmath>

namespace skyscuffle {

namespace {

// The calm shield's glow rises over its first moment and falls over its
// last, so that it never starts or ends on a jump; in between it breathes
// between full and a little less, a breath every 1.25 s: far from three
// flashes a second, whatever the shield's length.
constexpr float ease = 0.35f;         // seconds
constexpr float breathPeriod = 1.25f; // seconds
constexpr float breathDepth = 0.3f;   // the share of the glow a breath takes away
// The light the lit programs add at the glow's height ("mat_emissive"): a
// pale blue, far from white.
const glm::vec3 glowLight(0.14f, 0.26f, 0.48f);

} // namespace

InvincibilityPower::InvincibilityPower()
{
    timeLeft = powerSettings::invincibilityDuration;
    const float flashRate = powerSettings::invincibilityFlashRate;
    flashPeriod = flashRate > 0.0f ? flashRate : 0.25f;
    addClassTags<InvincibilityPower>("invincibilityPower");
}

void InvincibilityPower::initialize()
{
    world->destroyComponents(entityId, kit::typeId<InvincibilityPower>());
}

float InvincibilityPower::glowAt(float elapsed, float left)
{
    constexpr float twoPi = 6.2831853f;
    const float edge = std::clamp(std::min(elapsed, left) / ease, 0.0f, 1.0f);
    const float envelope = edge * edge * (3.0f - 2.0f * edge); // smooth at both ends
    const float breath = 1.0f - breathDepth * (0.5f - 0.5f * std::cos(twoPi * elapsed / breathPeriod));
    return envelope * breath;
}

void InvincibilityPower::update(float dt)
{
    timeLeft -= dt;
    elapsed += dt;
    if (timeLeft <= 0.0f) {
        delete world->removeComponent(this);
        return;
    }
    if (effectSettings::calmerFlashes) {
        // Every frame: parts that came since (a weapon's) glow too.
        show(true);
        glow(glowAt(elapsed, timeLeft));
        return;
    }
    if (glowing)
        glow(0.0f);
    // Shown for the first flash period, hidden for the next, and so on down
    // to zero: (2, 1.75] shown, (1.75, 1.5] hidden with the defaults.
    const bool visible = static_cast<long>(std::ceil(timeLeft / flashPeriod)) % 2 == 0;
    if (visible != shown)
        show(visible);
}

void InvincibilityPower::onRemoved()
{
    show(true); // seen again, wherever the blink left it
    if (glowing)
        glow(0.0f);
}

namespace {

// Each of the plane's models: its own and those of the parts it carries.
template <class Visit> void eachModel(kit::World& world, kit::EntityID plane, Visit visit)
{
    if (auto* model = world.getComponent<kit::Model>(plane))
        visit(*model);
    if (const auto* transform = world.getComponent<kit::Transform>(plane)) {
        for (const kit::EntityHandle& child : transform->children) {
            if (auto* model = world.getComponent<kit::Model>(child.id))
                visit(*model);
        }
    }
}

} // namespace

void InvincibilityPower::show(bool visible)
{
    shown = visible;
    eachModel(*world, entityId, [visible](kit::Model& model) { model.enabled = visible; });
}

void InvincibilityPower::glow(float level)
{
    glowing = level > 0.0f;
    const bool on = glowing;
    eachModel(*world, entityId, [on, level](kit::Model& model) {
        if (on)
            model.setUniform("mat_emissive", glowLight * level);
        else
            model.removeUniform("mat_emissive");
    });
}

} // namespace skyscuffle
