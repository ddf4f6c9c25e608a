#pragma once

namespace kit {

// Keeps a kind of console line from flooding the console: at most so many
// lines in a second of the caller's clock; the lines refused are counted and
// the count is handed over once the next second begins.
class ConsoleBudget {
public:
    // Whether one more line may be written now, `perSecond` being allowed.
    bool allow(float now, int perSecond);
    // The lines refused in seconds that are over, once (0 when none).
    [[nodiscard]] unsigned takeRefused(float now);

private:
    void roll(float now);

    float secondStart_ = 0.0f;
    int used_ = 0;
    unsigned refused_ = 0;     // in the current second
    unsigned refusedOver_ = 0; // in seconds that are over, not yet handed over
};

} // namespace kit
