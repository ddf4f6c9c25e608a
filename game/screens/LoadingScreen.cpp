#include "LoadingScreen.h"

#include "game/screens/ScreenSettings.h"
#include "game/screens/ScreenSwitch.h"

#include "game/combat/ScoreFunctions.h"
#include "game/widgets/Overlay.h"
#include "game/widgets/WidgetKeys.h"

#include "engine/core/Log.h"
#include "engine/core/ParseError.h"
#include "engine/core/Translation.h"
#include "engine/core/UpdateSignal.h"
#include "engine/input/JoystickManager.h"
#include "engine/render/Text.h"
#include "engine/resources/ResourceBucket.h"

#include <memory>

namespace skyscuffle {

namespace {

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
        widgets::setText(s.percentText, loadingPercent(progress));
    }
    if (!s.complete && s.bucket.isLoaded()) {
        s.complete = true;
        listenForAnything(world, state);
        widgets::setText(s.percentText, kit::tr("Press\nAnything"));
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
    state->percentText = widgets::addText(world, loadingPercent(0.0f), glm::vec2(-0.8f, -0.6f), 0.16f);

    world->emplaceComponent<kit::UpdateSignal>(world->createEntity(),
                                               [world, state](kit::Component*, float dt) { step(world, state, dt); });
}

} // namespace skyscuffle
