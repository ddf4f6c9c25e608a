#pragma once

#include "engine/core/Signal.h"
#include "engine/core/application/ApplicationSettings.h"

#include <memory>
#include <vector>

namespace kit {

class JoystickManager;
class Keyboard;
class Mouse;
class RenderState;
class Window;
class World;

struct ApplicationConfig {
    float minFrameRate = 20.0f; // below this the frame time is clamped
    // Above this the loop sleeps: the player's "window.maxFrameRate".
    float maxFrameRate = applicationSettings::maxFrameRate.value();
};

// Owns the current world and runs the frame loop. A screen switches by handing
// the application a new world; the switch happens at a safe point of the frame,
// after the update pass, and the components tagged "persistant" move to the new
// world under the same entity ids.
class Application {
public:
    // Creates the keyboard, mouse and joystick services on the window and sets
    // up the depth and culling state of the window's OpenGL context (a detached
    // window has none).
    Application(Window* window, RenderState* glState, ApplicationConfig config = {});
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;
    ~Application();

    // Hands over a world. The first becomes current at once; later ones wait as
    // `pending` until the end of the frame's update (a second hand-over in the
    // same frame replaces the first, whose setup never runs).
    void setWorld(std::shared_ptr<World> world);

    // The frame loop; returns once `running` is false.
    void run();
    // Runs one frame as run() does; dt in seconds. Without `draw` the render
    // pass and the buffer swap are left out (simulations that only update).
    void frame(float dt, bool draw = true);
    void stop() { running = false; }
    // Whether the loop draws the frame to come: always, unless the current
    // world draws on change and nothing changed since its last drawn frame
    // (for a second at most). `dt` is the frame's time.
    bool drawDue(float dt);
    // The frame rate the loop holds to now: maxFrameRate, or the current
    // world's own cap where that is lower. Zero means no cap.
    [[nodiscard]] float frameRateCap() const;

    Window* window;
    std::unique_ptr<Keyboard> keyboard;
    std::unique_ptr<Mouse> mouse;
    std::unique_ptr<JoystickManager> joysticks;
    std::shared_ptr<World> current;
    std::shared_ptr<World> pending;
    bool running = true;
    RenderState* glState;
    float minFrameRate;
    float maxFrameRate;
    std::vector<ScopedConnection> connections;
    // Worlds that cap their own frame rate (menus) swap in step with the
    // display's refresh where it has one; the others (a match) keep the
    // loop's own pacing, so the display never lowers their rate.
    bool verticalSync = false;
    // After each frame's buffer swap: the frame is on its way to the screen.
    Signal<void()> frameShown;

    // Frames a change keeps drawing for: what reacts to it may take a frame
    // or two to show it.
    static constexpr int framesDrawnPerChange = 3;
    // The longest a world that draws on change goes undrawn.
    static constexpr float stillRedrawSeconds = 1.0f;

private:
    void giveServices(World& world);
    void switchTo(std::shared_ptr<World> next);
    // Something may have changed what the screen shows: draw the next frames.
    void changed() { changedFrames_ = framesDrawnPerChange; }

    // This copy's persistent entities while a separate copy's world is current.
    std::unique_ptr<World> aside_;
    int changedFrames_ = framesDrawnPerChange; // drawn frames still owed to the last change
    float sinceDrawn_ = 0.0f;                  // seconds since the last drawn frame
};

} // namespace kit
