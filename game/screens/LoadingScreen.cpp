#include "LoadingScreen.h"

#include "game/screens/ScreenSettings.h"
#include "game/screens/ScreenSwitch.h"

#include "game/combat/ScoreFunctions.h"
#include "game/looks/TextScale.h"
#include "game/widgets/Overlay.h"
#include "game/widgets/WidgetKeys.h"

#include "engine/core/Log.h"
#include "engine/core/ParseError.h"
#include "engine/core/Translation.h"
#include "engine/core/UpdateSignal.h"
#include "engine/input/JoystickManager.h"
#include "engine/render/Text.h"
#include "engine/resources/ResourceBucket.h"

#include <algorithm>
#include <memory>

namespace skyscuffle {

namespace {

// The words stand in the dark box of the backdrop's picture (its inside,
// less a margin, between these edges where it is narrowest, in a 4:3
// window). At 100 % their first line's bottom is wordsOrigin, the
// percentage's line and the top one of two. Larger, they grow as far as the
// box holds them, never smaller than at 100 %, and stay in its middle.
constexpr glm::vec2 wordsOrigin(-0.8f, -0.6f);
constexpr float wordsSize = 0.16f;
constexpr float boxLeft = -0.78f, boxRight = 0.09f, boxTop = -0.4f, boxBottom = -0.8f;

struct InBox {
    glm::vec2 origin;
    float size;
};

InBox placeInBox(const std::string& words)
{
    std::size_t lines = 1, longest = 0, line = 0;
    for (const char c : words) {
        line = c == '\n' ? 0 : line + 1;
        lines += c == '\n' ? 1 : 0;
        longest = std::max(longest, line);
    }
    const auto columns = static_cast<float>(std::max<std::size_t>(longest, 1));
    const auto rows = static_cast<float>(lines);
    const float wide = (boxRight - boxLeft) / (widgets::glyphAdvance(1.0f) * columns);
    const float high = (boxTop - boxBottom) / rows;
    const float size = std::max(wordsSize, std::min({wordsSize * textScale(), wide, high}));
    const float advance = widgets::glyphAdvance(size);
    // The first letter where it is at 100 %, or further left to keep the words in the middle.
    const float middle = (boxLeft + boxRight) * 0.5f - advance * columns * 0.5f;
    const float left = std::max(boxLeft, std::min(wordsOrigin.x + advance, middle));
    // The top where two lines have it at 100 %, or higher for more.
    const float top = wordsOrigin.y + wordsSize + std::max(0.0f, (size * rows - 2.0f * wordsSize) * 0.5f);
    return {glm::vec2(left - advance, top - size), size};
}

// Sets the words, their size and their place in the box.
void showInBox(kit::Text* text, const std::string& words)
{
    widgets::setText(text, words);
    const InBox place = placeInBox(words);
    const float grown = place.size / text->glyphSize;
    const glm::vec3 was = text->origin;
    // The outline's copies (the entity's other texts) keep their shifts, grown with the words.
    for (kit::Component* c : *text->world->componentsOf(text->entityId))
        if (c->hasTag(kit::typeId<kit::Text>())) {
            auto* part = static_cast<kit::Text*>(c);
            part->origin = glm::vec3(place.origin, 0.0f) + (part->origin - was) * grown;
            part->glyphSize = place.size;
        }
}

// What the update callback carries from frame to frame.
struct Loading {
    kit::ResourceBucket bucket;
    float shownProgress = 0.0f; // 0 to 1
    float elapsed = 0.0f;       // seconds since the screen started
    kit::World::SetupFunction nextWorld;
    kit::Text* percentText = nullptr;
    bool complete = false; // everything loaded; keys and buttons move on
    bool leaving = false;  // the next world has been handed over
};

float progressOf(const kit::ResourceBucket& bucket)
{
    if (bucket.size() == 0)
        return 1.0f;
    return static_cast<float>(bucket.countLoaded()) / static_cast<float>(bucket.size());
}

void leave(kit::World* world, Loading& state)
{
    if (state.leaving)
        return;
    state.leaving = true;
    screens::switchTo(world, state.nextWorld);
}

// From the moment everything is loaded, any key or button moves on.
void listenForAnything(kit::World* world, const std::shared_ptr<Loading>& state)
{
    std::weak_ptr<Loading> weak = state;
    if (world->keyboard)
        world->connections.emplace_back(world->keyboard->keyPressed.connect([world, weak](kit::Keyboard::KeyInfo key) {
            if (auto s = weak.lock(); s && !widgets::togglesFullscreen(key))
                leave(world, *s);
        }));
    if (world->joysticks)
        world->connections.emplace_back(
            world->joysticks->buttonPressed.connect([world, weak](kit::Joystick::ButtonInfo) {
                if (auto s = weak.lock())
                    leave(world, *s);
            }));
}

void step(kit::World* world, const std::shared_ptr<Loading>& state, float dt)
{
    Loading& s = *state;
    const float progress = progressOf(s.bucket);
    if (progress > s.shownProgress) {
        s.shownProgress = progress;
        kit::log::info() << "Loading at " << static_cast<int>(progress * 100.0f) << "%";
        showInBox(s.percentText, loadingPercent(progress));
    }
    if (!s.complete && s.bucket.isLoaded()) {
        s.complete = true;
        listenForAnything(world, state);
        showInBox(s.percentText, kit::tr("Press\nAnything"));
    }
    s.elapsed += dt;
    if (s.elapsed >= screenSettings::loadingDelay.value() && s.complete)
        leave(world, s);
}

} // namespace

kit::ResourceBucket requestBucket(const std::string& path)
{
    try {
        return kit::loadResourceBucket(path);
    } catch (const kit::ParseError& error) {
        kit::log::error() << "Could not load resource bucket: " << path << ": " << error.what();
        return {};
    }
}

std::string loadingPercent(float progress)
{
    return rightAligned(static_cast<long>(progress * 100.0f), 3) + "%";
}

void LoadingScreenInitializer::operator()(kit::World* world) const
{
    auto state = std::make_shared<Loading>();
    // Every resource of the bucket is requested here; the worker loads them.
    state->bucket = requestBucket(bucketPath);
    state->nextWorld = nextWorld;

    widgets::addOverlay(world, true);
    widgets::addBackdrop(world, "sprites/loadingScreen.png");
    state->percentText = widgets::addText(world, loadingPercent(0.0f), wordsOrigin, wordsSize);
    showInBox(state->percentText, loadingPercent(0.0f));

    world->emplaceComponent<kit::UpdateSignal>(world->createEntity(),
                                               [world, state](kit::Component*, float dt) { step(world, state, dt); });
}

} // namespace skyscuffle
