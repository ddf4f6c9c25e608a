#pragma once

namespace kit {

// A budget that refills at a steady rate up to a ceiling: what one peer may
// make this copy do per second, with room for a short burst. Times are on
// the caller's clock, in seconds; a clock that stands still refills nothing.
// `scale` multiplies both the rate and the ceiling (a connection that
// carries several copies gets each copy's budget).
class TokenBucket {
public:
    TokenBucket(float perSecond, float burst);

    // Takes `amount` if that much is left; false (and nothing taken) otherwise.
    bool take(float now, float amount = 1.0f, float scale = 1.0f);
    // Takes `amount` whatever is left, into debt if need be: for costs known
    // only afterwards (the entities a call made).
    void charge(float now, float amount, float scale = 1.0f);
    // Whether nothing is left (a debt not yet refilled).
    [[nodiscard]] bool empty(float now, float scale = 1.0f);
    [[nodiscard]] float left(float now, float scale = 1.0f);

private:
    void refill(float now, float scale);

    float perSecond_;
    float burst_;
    float tokens_ = 0.0f;
    float at_ = 0.0f;
    bool fresh_ = true; // full at its first use, at the scale of that use
};

} // namespace kit
