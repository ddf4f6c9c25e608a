#pragma once

#include "ResourceHandle.h"

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

    // Runs the completion jobs queued for the main thread.
    virtual void update() = 0;
    virtual ResourceHandle<void> prefetchUntyped(const std::string& path) = 0;

    // Every manager's update, in construction order. Once per frame, after drawing.
    static void updateAll();
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
