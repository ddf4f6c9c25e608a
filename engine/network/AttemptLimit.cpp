#include "AttemptLimit.h"

namespace kit {

bool AttemptLimit::allow(std::uint32_t ip, float now)
{
    auto found = buckets_.find(ip);
    if (found == buckets_.end()) {
        if (buckets_.size() >= tracked)
            forgetRefilled(now);
        if (buckets_.size() >= tracked)
            return false;
        found = buckets_.emplace(ip, TokenBucket(perSecond, burst)).first;
    }
    return found->second.take(now);
}

void AttemptLimit::forgetRefilled(float now)
{
    for (auto it = buckets_.begin(); it != buckets_.end();) {
        if (it->second.left(now) >= burst)
            it = buckets_.erase(it);
        else
            ++it;
    }
}

} // namespace kit
