#include "FramePacing.h"

namespace kit {

FrameStep planFrame(double elapsedSeconds, float minFrameRate, float maxFrameRate)
{
    FrameStep step;
    if (minFrameRate > 0.0f && elapsedSeconds > 1.0 / minFrameRate) {
        step.dt = 1.0f / minFrameRate;
        step.clamped = true;
        return step;
    }
    step.dt = static_cast<float>(elapsedSeconds);
    if (maxFrameRate > 0.0f && elapsedSeconds < 1.0 / maxFrameRate) {
        step.sleeps = true;
        step.sleepMilliseconds = static_cast<int>((1.0 / maxFrameRate - elapsedSeconds) * 1000.0);
    }
    return step;
}

} // namespace kit
