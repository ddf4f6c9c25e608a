#include "TokenBucket.h"

#include <algorithm>

namespace kit {

TokenBucket::TokenBucket(float perSecond, float burst) : perSecond_(perSecond), burst_(burst) {}

void TokenBucket::refill(float now, float scale)
{
    if (fresh_) {
        fresh_ = false;
        tokens_ = burst_ * scale;
        at_ = now;
        return;
    }
    // A clock that went back (a new session's clock) refills nothing.
    if (now > at_)
        tokens_ += (now - at_) * perSecond_ * scale;
    at_ = now;
    tokens_ = std::min(tokens_, burst_ * scale);
}

bool TokenBucket::take(float now, float amount, float scale)
{
    refill(now, scale);
    if (tokens_ < amount)
        return false;
    tokens_ -= amount;
    return true;
}

void TokenBucket::charge(float now, float amount, float scale)
{
    refill(now, scale);
    tokens_ -= amount;
}

bool TokenBucket::empty(float now, float scale)
{
    return left(now, scale) <= 0.0f;
}

float TokenBucket::left(float now, float scale)
{
    refill(now, scale);
    return tokens_;
}

} // namespace kit
