#pragma once

#include "game/replays/ReplayPlayback.h"

#include "engine/core/GlfwLibrary.h"
#include "engine/core/Window.h"
#include "engine/core/application/Application.h"
#include "engine/render/state/RenderState.h"

#include <memory>

namespace skyscuffle {

// A window (visible or not) and an application with a world of this copy,
// in which a replay plays without a player: for a clip, or a check.
class PlaybackHost {
public:
    PlaybackHost(int width, int height, bool visible);
    ~PlaybackHost();

    [[nodiscard]] bool ready() const { return app_ != nullptr; }
    [[nodiscard]] kit::Application& app() { return *app_; }

    // The playback of the replay from `pace`, after its first update (which
    // catches up to the moment); null if it did not start.
    ReplayPlayback* start(const std::shared_ptr<const kit::Replay>& replay, const ReplayPlayback::Pace& pace,
                          float frameTime, bool checking);

private:
    kit::GlfwLibrary glfw_;
    std::unique_ptr<kit::Window> window_;
    std::unique_ptr<kit::RenderState> renderState_;
    std::unique_ptr<kit::Application> app_;
};

} // namespace skyscuffle
