#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

// The cost of each drawn frame of a simulated match, and its summary line.
// Times are in milliseconds:
// - frame: wall time from the start of the update to the picture being
//   finished (glFinish) and swapped, what a player waits for;
// - ours: CPU time of the main thread in the update and in submitting the
//   drawing (the renderers' passes, the driver's work done in the calls
//   themselves included), before glFinish;
// - process: CPU time of every thread of the process over the frame, the
//   software renderer's rasteriser threads included: the total work, which
//   other programs on a busy machine do not inflate as they do wall time.
struct FrameSample {
    double frameMs = 0.0;
    double swapMs = 0.0;
    double oursMs = 0.0;
    double updateMs = 0.0; // of ours, the update's share
    double processMs = 0.0;
    std::uint64_t drawCalls = 0;
};

class FrameTimes {
public:
    void add(const FrameSample& sample) { samples_.push_back(sample); }
    [[nodiscard]] bool empty() const { return samples_.empty(); }
    // One "frames ..." line: medians, 99th percentiles and means.
    void print(std::FILE* out, bool batching) const;

private:
    std::vector<FrameSample> samples_;
};

// The value at fraction p (0 to 1) of the sorted values; 0 for none.
double percentile(std::vector<double> values, double p);

// CPU seconds of the calling thread, and of the whole process.
double threadCpuSeconds();
double processCpuSeconds();
