#pragma once

#include "ResourceHandle.h"

#include <chrono>
#include <string>
#include <unordered_map>
#include <vector>

namespace kit {

// What every resource manager offers without its types: buckets request
// through it by manager name, and the frame loop finishes every manager's
// completed loads through it.
class AsyncResourceManagerBase {
public:
    explicit AsyncResourceManagerBase(const std::string& name);
    AsyncResourceManagerBase(const AsyncResourceManagerBase&) = delete;
    AsyncResourceManagerBase& operator=(const AsyncResourceManagerBase&) = delete;

    using Deadline = std::chrono::steady_clock::time_point;

    // Runs the completion jobs queued for the main thread.
    virtual void update() = 0;
    virtual ResourceHandle<void> prefetchUntyped(const std::string& path) = 0;
    // Runs queued completion jobs while the next one is expected to end before
    // the deadline (after `ranOne`, at least one runs). False when it stopped
    // with jobs left. Sets ranOne when it ran a job.
    virtual bool updateUntil(Deadline deadline, bool& ranOne) = 0;

    // Every manager's update, in construction order.
    static void updateAll();
    // The same within a time budget, for the frame loop: completions that are
    // not expected to fit (judged by the longest job seen lately) wait for the
    // next frame, so a loading screen never stalls. At least one job runs per
    // call, so loading always progresses. Dependencies' managers go first.
    // True when any completion ran.
    static bool updateAll(std::chrono::steady_clock::duration budget);
    // The manager registered under a name, or null.
    static AsyncResourceManagerBase* find(const std::string& name);

    const std::string name;

protected:
    // Leaves the registries (managers are never destroyed through this base).
    ~AsyncResourceManagerBase();

private:
    static std::vector<AsyncResourceManagerBase*>& all();
    static std::unordered_map<std::string, AsyncResourceManagerBase*>& byName();
};

} // namespace kit
