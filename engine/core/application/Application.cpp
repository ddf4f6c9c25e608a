#include "Application.h"

#include "ApplicationSettings.h"

#include "FramePacing.h"
#include "StopSignals.h"

#include "engine/core/Tags.h"
#include "engine/core/Window.h"
#include "engine/core/World.h"
#include "engine/input/JoystickManager.h"
#include "engine/input/Keyboard.h"
#include "engine/input/Mouse.h"
#include "engine/resources/AsyncResourceManagerBase.h"

#include <GL/glew.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace kit {

Application::Application(Window* window, RenderState* glState, ApplicationConfig config)
    : window(window), keyboard(std::make_unique<Keyboard>(*window)), mouse(std::make_unique<Mouse>(*window)),
      joysticks(std::make_unique<JoystickManager>(*window)), glState(glState), minFrameRate(config.minFrameRate),
      maxFrameRate(config.maxFrameRate)
{
    if (!window->isDetached()) {
        glDepthFunc(GL_LEQUAL);
        glEnable(GL_CULL_FACE);
        glEnable(GL_DEPTH_TEST);
    }
    connections.emplace_back(window->close.connect([this] { running = false; }));
    connections.emplace_back(window->resized.connect([this](int, int) {
        if (this->window->isDetached())
            return;
        // The framebuffer may be larger than the window on high-density screens.
        const auto pixels = this->window->framebufferSize();
        glViewport(0, 0, pixels.x, pixels.y);
    }));
    // Anything the player does, and anything the window goes through, may
    // change what a still screen shows.
    connections.emplace_back(window->key.connect([this](int, int, int, int) { changed(); }));
    connections.emplace_back(window->character.connect([this](unsigned int) { changed(); }));
    connections.emplace_back(window->mouseButton.connect([this](int, int, int) { changed(); }));
    connections.emplace_back(window->cursorMoved.connect([this](double, double) { changed(); }));
    connections.emplace_back(window->scroll.connect([this](double, double) { changed(); }));
    connections.emplace_back(window->resized.connect([this](int, int) { changed(); }));
    connections.emplace_back(window->refresh.connect([this] { changed(); }));
    connections.emplace_back(window->focusGained.connect([this] { changed(); }));
    connections.emplace_back(window->focusLost.connect([this] { changed(); }));
    connections.emplace_back(joysticks->connected.connect([this](Joystick*) { changed(); }));
    connections.emplace_back(joysticks->disconnected.connect([this](Joystick*) { changed(); }));
    connections.emplace_back(joysticks->buttonPressed.connect([this](Joystick::ButtonInfo) { changed(); }));
    connections.emplace_back(joysticks->buttonReleased.connect([this](Joystick::ButtonInfo) { changed(); }));
    connections.emplace_back(joysticks->moved.connect([this](Joystick::AxisInfo) { changed(); }));
}

Application::~Application()
{
    // Worlds go before the input services their connections point into.
    pending.reset();
    current.reset();
}

void Application::giveServices(World& world)
{
    world.owner = this;
    world.window = window;
    world.keyboard = keyboard.get();
    world.mouse = mouse.get();
    world.joysticks = joysticks.get();
    world.renderState = glState;
}

void Application::setWorld(std::shared_ptr<World> world)
{
    if (!world || world == current)
        return; // nothing to switch to (the current world would hand its services to itself forever)
    if (!current) {
        switchTo(std::move(world));
        return;
    }
    giveServices(*world);
    pending = std::move(world);
}

namespace {

// Moves every entity with a persistent component (and its components) over.
void carryPersistent(World& from, World& to)
{
    ComponentCollection* carried = from.getComponentCollection(tagId("persistant"));
    while (Component* c = carried->first()) {
        to.entities.insert(c->entityId);
        // Removes c from the old world (and so from `carried`) first.
        to.addComponent(EntityHandle{c->entityId, &to}, c);
    }
}

} // namespace

void Application::switchTo(std::shared_ptr<World> next)
{
    giveServices(*next);

    if (current) {
        // This copy's persistent entities are in the current world, or kept
        // aside while a separate copy (a replay) has been current.
        World& home = current->separateCopy ? *aside_ : *current;
        if (next->separateCopy) {
            if (&home != aside_.get()) {
                aside_ = std::make_unique<World>();
                aside_->origin = home.origin;
                carryPersistent(home, *aside_);
            }
        } else {
            next->origin = home.origin; // one copy of the game, whichever screen it shows
            carryPersistent(home, *next);
            aside_.reset();
        }
    }

    next->start();
    window->setVerticalSync(verticalSync && next->maxFrameRate > 0.0f);
    current = std::move(next);
    changed();
}

void Application::frame(float dt, bool draw)
{
    window->frame();
    window->pollEvents();
    if (stopSignalReceived())
        running = false;

    if (running && current) {
        current->update(dt);
        if (pending) {
            std::shared_ptr<World> next = std::move(pending);
            pending.reset();
            switchTo(std::move(next));
        }
    }
    if (draw) {
        if (current)
            current->render(dt);
        window->swapBuffers();
        frameShown();
        sinceDrawn_ = 0.0f;
        changedFrames_ = std::max(changedFrames_ - 1, 0);
    }
    // Loads the worker finished since the last frame become OpenGL objects,
    // as many as fit in the frame's budget.
    if (AsyncResourceManagerBase::updateAll(std::chrono::microseconds(
            static_cast<long>(std::clamp(applicationSettings::frameBudgetMs.value(), 0.0f, 1000.0f) * 1000.0f))))
        changed(); // a picture or a model may have just become drawable
}

bool Application::drawDue(float dt)
{
    sinceDrawn_ += dt;
    return !current || !current->drawsOnChange || changedFrames_ > 0 || sinceDrawn_ >= stillRedrawSeconds;
}

float Application::frameRateCap() const
{
    const float world = current ? current->maxFrameRate : 0.0f;
    if (world <= 0.0f)
        return maxFrameRate;
    return maxFrameRate > 0.0f ? std::min(maxFrameRate, world) : world;
}

void Application::run()
{
    using Clock = std::chrono::steady_clock;
    const auto seconds = [](Clock::duration d) { return std::chrono::duration<double>(d).count(); };

    auto previous = Clock::now();
    while (running) {
        const auto now = Clock::now();
        const FrameStep step = planFrame(seconds(now - previous), minFrameRate, frameRateCap());
        float dt = step.dt;
        if (step.sleeps) {
            std::this_thread::sleep_for(std::chrono::milliseconds(step.sleepMilliseconds));
            const auto after = Clock::now();
            dt += static_cast<float>(seconds(after - now));
            // A sleep that overran (a busy machine) is a stall like any other:
            // it never makes the world take a step longer than the limit.
            if (minFrameRate > 0.0f)
                dt = std::min(dt, 1.0f / minFrameRate);
            previous = after;
        } else {
            previous = now;
        }
        frame(dt, drawDue(dt));
    }
}

} // namespace kit
