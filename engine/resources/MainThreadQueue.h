#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>

namespace kit {

// Jobs that the loader thread hands back to the main (OpenGL) thread.
class MainThreadQueue {
public:
    void push(std::function<void()> job);
    // Blocks until a job is there, then takes it.
    std::function<void()> waitAndPop();
    // Takes a job if one is there.
    bool tryPop(std::function<void()>& job);
    [[nodiscard]] std::size_t size() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable available_;
    std::deque<std::function<void()>> jobs_;
};

} // namespace kit
