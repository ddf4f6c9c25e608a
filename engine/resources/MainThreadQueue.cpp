#include "MainThreadQueue.h"

namespace kit {

void MainThreadQueue::push(std::function<void()> job)
{
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(job));
    }
    available_.notify_one();
}

std::function<void()> MainThreadQueue::waitAndPop()
{
    std::unique_lock lock(mutex_);
    available_.wait(lock, [this] { return !jobs_.empty(); });
    std::function<void()> job = std::move(jobs_.front());
    jobs_.pop_front();
    return job;
}

bool MainThreadQueue::tryPop(std::function<void()>& job)
{
    std::lock_guard lock(mutex_);
    if (jobs_.empty())
        return false;
    job = std::move(jobs_.front());
    jobs_.pop_front();
    return true;
}

std::size_t MainThreadQueue::size() const
{
    std::lock_guard lock(mutex_);
    return jobs_.size();
}

} // namespace kit
