#include "ClipExport.h"

#include "PlaybackHost.h"

#include "engine/core/Log.h"
#include "engine/core/World.h"
#include "engine/render/clip/AnimatedWebP.h"

#include <GL/glew.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace skyscuffle {

bool writeClip(const std::shared_ptr<const kit::Replay>& replay, const ClipOptions& options)
{
    const auto started = std::chrono::steady_clock::now();
    PlaybackHost host(options.width, options.height, false);
    if (!host.ready())
        return false;
    const float frameTime = 1.0f / static_cast<float>(options.fps);
    const float from = std::clamp(options.from, 0.0f, replay->header.seconds);
    ReplayPlayback::Pace pace;
    pace.at = from;
    pace.overlay = false; // a clip shows the match, not the viewer's keys
    ReplayPlayback* playback = host.start(replay, pace, frameTime, false);
    if (!playback) {
        kit::log::error() << "the playback did not start";
        return false;
    }
    // The frames the clip holds, not beyond the replay's end.
    const float seconds = std::min(options.seconds, replay->header.seconds - from);
    const int frames = std::max(1, static_cast<int>(seconds * static_cast<float>(options.fps) + 0.5f));
    const std::size_t row = static_cast<std::size_t>(options.width) * 4;
    std::vector<std::uint8_t> pixels(row * static_cast<std::size_t>(options.height)), flipped(pixels.size());
    kit::AnimatedWebP clip(options.width, options.height);
    double drawing = 0.0;
    for (int f = 0; f < frames; ++f) {
        const auto before = std::chrono::steady_clock::now();
        // The frame's update, then its picture drawn and read before any
        // buffer swap: what is read is exactly this frame.
        host.app().frame(frameTime, false);
        host.app().current->render(frameTime);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, options.width, options.height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        drawing += std::chrono::duration<double>(std::chrono::steady_clock::now() - before).count();
        // OpenGL's rows go up from the bottom; a picture's go down.
        for (int y = 0; y < options.height; ++y)
            std::memcpy(&flipped[static_cast<std::size_t>(options.height - 1 - y) * row],
                        &pixels[static_cast<std::size_t>(y) * row], row);
        // Each frame lasts to the next whole millisecond of its end, so the clip is exactly as long.
        const int milliseconds = (f + 1) * 1000 / options.fps - f * 1000 / options.fps;
        if (!clip.add(flipped, milliseconds)) {
            kit::log::error() << "the clip's frame " << f << " did not encode";
            return false;
        }
    }
    std::string error;
    if (!clip.write(options.out, error)) {
        kit::log::error() << error;
        return false;
    }
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    char line[512];
    std::snprintf(line, sizeof line,
                  "clip %s: %d frames of %dx%d at %d a second, from %.1f s; written in %.1f s (%.1f s drawing)",
                  options.out.c_str(), clip.frames(), options.width, options.height, options.fps,
                  static_cast<double>(from), wall, drawing);
    kit::log::info() << line;
    return true;
}

} // namespace skyscuffle
