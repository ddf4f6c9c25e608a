#include "ThreadPool.h"

#include <memory>
#include <stdexcept>

namespace kit {

ThreadPool::ThreadPool(std::size_t threads)
{
    for (std::size_t i = 0; i < threads; ++i) {
        workers_.emplace_back([this] {
            for (;;) {
                std::function<void()> task;
                {
                    std::unique_lock lock(queueMutex_);
                    condition_.wait(lock, [this] { return stop_ || !tasks_.empty(); });
                    if (stop_ && tasks_.empty())
                        return;
                    task = std::move(tasks_.front());
                    tasks_.pop();
                }
                task();
            }
        });
    }
}

std::future<void> ThreadPool::enqueue(std::function<void()> job)
{
    auto task = std::make_shared<std::packaged_task<void()>>(std::move(job));
    std::future<void> result = task->get_future();
    {
        std::lock_guard lock(queueMutex_);
        if (stop_)
            throw std::runtime_error("enqueue on stopped ThreadPool");
        tasks_.emplace([task] { (*task)(); });
    }
    condition_.notify_one();
    return result;
}

void ThreadPool::shutdown()
{
    {
        std::lock_guard lock(queueMutex_);
        if (stop_)
            return;
        stop_ = true;
    }
    condition_.notify_all();
    for (std::thread& worker : workers_)
        worker.join();
}

ThreadPool& threadPool()
{
    static ThreadPool pool(1);
    return pool;
}

} // namespace kit
