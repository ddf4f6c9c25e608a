#include "ConsoleBudget.h"

namespace kit {

void ConsoleBudget::roll(float now)
{
    // A clock that went back (a new session) starts a new second too.
    if (now - secondStart_ >= 1.0f || now < secondStart_) {
        secondStart_ = now;
        used_ = 0;
        refusedOver_ += refused_;
        refused_ = 0;
    }
}

bool ConsoleBudget::allow(float now, int perSecond)
{
    roll(now);
    if (used_ < perSecond) {
        ++used_;
        return true;
    }
    ++refused_;
    return false;
}

unsigned ConsoleBudget::takeRefused(float now)
{
    roll(now);
    const unsigned count = refusedOver_;
    refusedOver_ = 0;
    return count;
}

} // namespace kit
