#pragma once

namespace kit {

// What the frame loop does with the time a frame took.
struct FrameStep {
    float dt = 0.0f;            // seconds the simulation advances (before any sleep is added)
    bool sleeps = false;        // the frame was faster than the cap: sleep, then add the time slept to dt
    int sleepMilliseconds = 0;  // whole milliseconds to sleep
    bool clamped = false;       // the frame was slower than the floor: dt was cut to 1 / minFrameRate
};

// Frames slower than 1 / minFrameRate are simulated as 1 / minFrameRate (the
// lost time is not replayed); frames faster than 1 / maxFrameRate sleep the
// rest of 1 / maxFrameRate, truncated to whole milliseconds. A rate of zero or
// less switches its rule off. elapsedSeconds is the time since the last frame.
FrameStep planFrame(double elapsedSeconds, float minFrameRate, float maxFrameRate);

} // namespace kit
