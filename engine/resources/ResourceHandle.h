#pragma once

#include <atomic>
#include <memory>

namespace kit {

template <class T>
struct ResourceHandle;

// The untyped handle, for lists of mixed resources (buckets).
template <>
struct ResourceHandle<void> {
    std::shared_ptr<void> resource;
    const std::atomic<bool>* pending = nullptr;

    [[nodiscard]] bool isLoaded() const { return resource && pending && !pending->load(); }
};

// What a request for a resource returns at once: the (possibly still empty)
// resource and the pending flag of its cache entry. Loaded when the resource
// exists and is no longer pending. Cache entries are never removed, so the
// flag's address stays valid for the whole run.
template <class T>
struct ResourceHandle {
    std::shared_ptr<T> resource;
    const std::atomic<bool>* pending = nullptr;

    [[nodiscard]] bool isLoaded() const { return resource && pending && !pending->load(); }
    [[nodiscard]] T* get() const { return resource.get(); }
    T* operator->() const { return resource.get(); }
    explicit operator bool() const { return resource != nullptr; }

    // The same handle without its type, for lists of mixed resources.
    [[nodiscard]] ResourceHandle<void> untyped() const { return ResourceHandle<void>{resource, pending}; }
};

} // namespace kit
