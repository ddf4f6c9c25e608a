#include "PlaybackHost.h"

#include "game/screens/ReplaysScreen.h"

#include "engine/core/Log.h"
#include "engine/core/World.h"
#include "engine/core/application/GlewInitError.h"

#include <GL/glew.h>

#include <chrono>
#include <thread>

namespace skyscuffle {

PlaybackHost::PlaybackHost(int width, int height, bool visible)
{
    if (!glfw_.ready())
        return;
    kit::WindowSettings settings;
    settings.width = width;
    settings.height = height;
    settings.visible = visible;
    window_ = kit::Window::open(settings);
    if (!window_) {
        kit::log::warn() << "no window: playing a replay back needs a display";
        return;
    }
    try {
        kit::initializeGlew();
    } catch (const kit::GlewInitError& error) {
        kit::log::error() << error.what();
        window_.reset();
        return;
    }
    renderState_ = std::make_unique<kit::RenderState>();
    glViewport(0, 0, width, height);
    glClearColor(0.36f, 0.62f, 0.85f, 1.0f);
    app_ = std::make_unique<kit::Application>(window_.get(), renderState_.get());
    app_->setWorld(std::make_shared<kit::World>([](kit::World*) {}));
    app_->frame(0.0f, false);
}

PlaybackHost::~PlaybackHost()
{
    app_.reset(); // its worlds may hold OpenGL objects: before the context goes
    renderState_.reset();
    window_.reset();
}

ReplayPlayback* PlaybackHost::start(const std::shared_ptr<const kit::Replay>& replay, const ReplayPlayback::Pace& pace,
                                    float frameTime, bool checking)
{
    watchReplay(app_->current.get(), replay, pace);
    app_->frame(frameTime, false); // the switch
    auto* playback = app_->current->single<ReplayPlayback>();
    if (!playback)
        return nullptr;
    playback->feed().checking = checking;
    // Its pictures loaded, the first update of its own catches up to the moment.
    for (int frame = 0; frame < 60 * 60 && !playback->underway(); ++frame) {
        app_->frame(frameTime, false);
        if (!playback->underway())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return playback->underway() ? playback : nullptr;
}

} // namespace skyscuffle
