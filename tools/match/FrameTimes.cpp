#include "FrameTimes.h"

#include <algorithm>
#include <ctime>
#include <numeric>

namespace {

double mean(const std::vector<double>& values)
{
    return values.empty() ? 0.0
                          : std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
}

double seconds(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

} // namespace

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

double threadCpuSeconds()
{
    return seconds(CLOCK_THREAD_CPUTIME_ID);
}

double processCpuSeconds()
{
    return seconds(CLOCK_PROCESS_CPUTIME_ID);
}

void FrameTimes::print(std::FILE* out, bool batching) const
{
    std::vector<double> frame, swap, ours, update, process, draws;
    for (const FrameSample& s : samples_) {
        frame.push_back(s.frameMs);
        swap.push_back(s.swapMs);
        ours.push_back(s.oursMs);
        update.push_back(s.updateMs);
        process.push_back(s.processMs);
        draws.push_back(static_cast<double>(s.drawCalls));
    }
    std::fprintf(out,
                 "frames drawn %zu batching %s frame median %.1f ms p99 %.1f ms (swap median %.1f ms) "
                 "our cpu median %.2f ms p99 %.2f ms mean %.2f ms (update median %.2f ms) "
                 "process cpu median %.1f ms p99 %.1f ms mean %.1f ms "
                 "draw calls median %.0f p99 %.0f max %.0f mean %.1f\n",
                 samples_.size(), batching ? "on" : "off", percentile(frame, 0.5), percentile(frame, 0.99),
                 percentile(swap, 0.5), percentile(ours, 0.5), percentile(ours, 0.99), mean(ours),
                 percentile(update, 0.5), percentile(process, 0.5), percentile(process, 0.99), mean(process),
                 percentile(draws, 0.5), percentile(draws, 0.99), percentile(draws, 1.0), mean(draws));
}
