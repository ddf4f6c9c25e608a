#pragma once

#include <condition_variable>
#include <functional>
#include <future>
#include <mutex>
#include <queue>
#include <thread>
#include <vector>

namespace kit {

// The resource loaders' worker: one thread that runs queued jobs in order.
class ThreadPool {
public:
    explicit ThreadPool(std::size_t threads = 1);
    ThreadPool(const ThreadPool&) = delete;
    ThreadPool& operator=(const ThreadPool&) = delete;
    ~ThreadPool() { shutdown(); }

    // Queues a job. Throws std::runtime_error("enqueue on stopped ThreadPool")
    // after shutdown.
    std::future<void> enqueue(std::function<void()> job);

    // Lets the queued jobs finish, then joins the worker. Later calls do nothing.
    void shutdown();

private:
    std::vector<std::thread> workers_;
    std::queue<std::function<void()>> tasks_;
    std::mutex queueMutex_;
    std::condition_variable condition_;
    bool stop_ = false;
};

// The process's one pool, created on first use.
ThreadPool& threadPool();

} // namespace kit
