#pragma once

#include "AsyncResourceManagerBase.h"
#include "MainThreadQueue.h"
#include "ResourceHandle.h"
#include "ThreadPool.h"

#include "engine/core/Log.h"
#include "engine/core/Settings.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>

namespace kit {

// The cache and loader of one resource type. A request by path returns at
// once with a handle; the file is read and parsed on the worker thread (or
// inline, for dependencies of a load already on it), and the OpenGL half runs
// on the main thread in update(). Cached resources live for the whole run.
// The manager's lock guards its cache only; no load or completion runs under it.
//
// Loader must derive from Resourceloader<Resource> and be default-constructible.
template <class Resource, class Loader>
class AsyncResourceManager : public AsyncResourceManagerBase {
public:
    struct CacheEntry {
        std::atomic<bool> pending{false}; // a load was requested and its completion has not run
        std::shared_ptr<Resource> resource;
    };

    explicit AsyncResourceManager(const std::string& name)
        : AsyncResourceManagerBase(name), constructingThread_(std::this_thread::get_id())
    {
    }
    AsyncResourceManager(const AsyncResourceManager&) = delete;
    AsyncResourceManager& operator=(const AsyncResourceManager&) = delete;
    // Waits for its loads still running on the worker: they write into this
    // manager when they end.
    ~AsyncResourceManager()
    {
        while (inFlight_.load() > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    // Requests the resource and returns at once. runInline loads it on the
    // calling thread instead of queueing it behind the worker (for
    // dependencies requested from inside another load).
    ResourceHandle<Resource> prefetch(const std::string& path, bool runInline = false)
    {
        std::shared_ptr<Loader> loader;
        ResourceHandle<Resource> handle;
        {
            std::lock_guard lock(mutex_);
            CacheEntry& entry = cache_[path];
            handle = ResourceHandle<Resource>{entry.resource, &entry.pending};
            if (entry.resource)
                return handle;

            log::info() << "Prefetching " << name << ": " << path;
            loader = std::make_shared<Loader>();
            loader->setPath(path, settings::assetDirectory());
            entry.resource = loader->resource;
            handle.resource = loader->resource;
            entry.pending = true;
        }
        // The load runs without the lock: the entry is claimed, and holding the
        // lock through a long inline load would stall the main thread's
        // completions (and could deadlock with a blocking get waiting on them).
        ++inFlight_;
        auto job = [this, loader, path] {
            loadSafely(*loader);
            completions_.push([this, loader, path] { complete(*loader, path); });
            --inFlight_;
        };
        if (runInline) {
            job();
        } else {
            try {
                (void)threadPool().enqueue(std::move(job));
            } catch (...) {
                --inFlight_; // never queued (a stopped pool): nothing will write back
                throw;
            }
        }
        return handle;
    }

    ResourceHandle<void> prefetchUntyped(const std::string& path) override { return prefetch(path, false).untyped(); }

    // The resource, fully loaded: loaded here and now if it was never
    // requested, or after running this manager's completions until its own has run.
    std::shared_ptr<Resource> get(const std::string& path)
    {
        std::unique_lock lock(mutex_);
        CacheEntry& entry = cache_[path];
        if (!entry.resource) {
            log::info() << "Cold-loading " << name << ": " << path;
            // Claimed (pending) before the lock is let go for the load itself.
            Loader loader;
            loader.setPath(path, settings::assetDirectory());
            entry.resource = loader.resource;
            entry.pending = true;
            lock.unlock();
            loadSafely(loader);
            loader.finish();
            entry.pending = false;
            return loader.resource;
        }
        while (entry.pending) {
            lock.unlock();
            completions_.waitAndPop()();
            lock.lock();
        }
        return entry.resource;
    }

    // The handle of a resource loaded here and now if need be (get, then its
    // handle): for code on the main thread that draws with it at once.
    ResourceHandle<Resource> getHandle(const std::string& path)
    {
        get(path);
        return prefetch(path);
    }

    // Runs the completions queued so far. They run without this manager's
    // lock (each takes it only to clear its pending flag), so a completion
    // that waits for a dependency never holds up a load on the worker that
    // needs this manager.
    void update() override
    {
        std::function<void()> job;
        while (completions_.tryPop(job))
            job();
    }

    bool updateUntil(Deadline deadline, bool& ranOne) override
    {
        using Clock = std::chrono::steady_clock;
        std::function<void()> job;
        for (;;) {
            const Clock::time_point start = Clock::now();
            if (ranOne && start + longestJob_ > deadline)
                return completions_.size() == 0;
            if (!completions_.tryPop(job))
                return true;
            job();
            ranOne = true;
            // The longest job seen, slowly forgotten so that one slow start
            // does not hold every later frame to one job.
            const Clock::duration took = Clock::now() - start;
            longestJob_ = std::max(took, longestJob_ * 15 / 16);
        }
    }

    // Loads waiting for the main thread.
    [[nodiscard]] std::size_t queuedCompletions() const { return completions_.size(); }

private:
    // A loader reports its own failures; anything it throws is reported here
    // so that the completion still runs and nobody waits forever.
    static void loadSafely(Loader& loader)
    {
        if (loader.refused)
            return; // told already; finish() makes the usual default of a failed load
        try {
            loader.load();
        } catch (const std::exception& error) {
            log::error() << "Could not load " << loader.fullPath << ": " << error.what();
        }
    }

    void complete(Loader& loader, const std::string& path)
    {
        loader.finish();
        std::lock_guard lock(mutex_);
        cache_[path].pending = false;
    }

    MainThreadQueue completions_;
    std::unordered_map<std::string, CacheEntry> cache_; // nodes: entry addresses never move
    std::mutex mutex_;
    std::thread::id constructingThread_;
    std::chrono::steady_clock::duration longestJob_{0}; // main thread only
    std::atomic<int> inFlight_{0};                     // loads started and not yet handed back
};

} // namespace kit
