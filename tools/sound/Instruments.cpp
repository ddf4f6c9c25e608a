#include "Instruments.h"

#include "Adsr.h"
#include "Biquad.h"
#include "Curves.h"
#include "OnePole.h"
#include "Oscillator.h"

#include <algorithm>
#include <cmath>

namespace synth {

Sound marimba(int rate, double hz, double velocity, Noise& noise)
{
    // High bars ring shorter than low ones.
    const double tau = std::clamp(0.45 * std::sqrt(262.0 / hz), 0.15, 0.9);
    const double overtoneHz = 4.0 * hz;
    const double thirdHz = 9.9 * hz;
    const bool thirdFits = thirdHz < 0.45 * rate;
    Oscillator bar(Waveform::Sine, rate), overtone(Waveform::Sine, rate), third(Waveform::Sine, rate);
    OnePole mallet(OnePole::Type::Lowpass, rate, 2500.0);
    return render(rate, std::min(2.0, 5.0 * tau), [&](double t) {
        double y = bar.next(hz) * attackDecay(t, 0.002, tau);
        y += (0.15 + 0.25 * velocity) * overtone.next(overtoneHz) * attackDecay(t, 0.001, 0.16 * tau);
        if (thirdFits)
            y += 0.06 * velocity * third.next(thirdHz) * attackDecay(t, 0.0008, 0.05 * tau);
        y += 0.5 * mallet.process(noise.white()) * attackDecay(t, 0.0005, 0.004);
        return velocity * y;
    });
}

Sound pluck(int rate, double hz, double velocity, double gate, Noise& noise)
{
    constexpr double release = 0.05;
    Sound string(rate, gate + release);
    // The two-point average in the loop delays by half a sample; the rest is a fractional delay line.
    const double period = rate / hz - 0.5;
    const std::size_t burst = static_cast<std::size_t>(period) + 1;
    // A softer pick excites fewer harmonics.
    OnePole pick(OnePole::Type::Lowpass, rate, 2500.0 + 4000.0 * velocity);
    constexpr double loss = 0.995;
    auto& y = string.samples;
    const auto delayed = [&](double position) {
        if (position < 0.0)
            return 0.0;
        const std::size_t i = static_cast<std::size_t>(position);
        const double fraction = position - static_cast<double>(i);
        return y[i] * (1.0 - fraction) + (i + 1 < y.size() ? y[i + 1] : 0.0) * fraction;
    };
    for (std::size_t n = 0; n < y.size(); ++n) {
        const double excite = n < burst ? pick.process(noise.white()) : 0.0;
        const double position = static_cast<double>(n) - period;
        const double feedback = 0.5 * (delayed(position) + delayed(position - 1.0));
        y[n] = static_cast<float>(excite + loss * feedback);
    }
    OnePole body(OnePole::Type::Highpass, rate, 120.0);
    const Adsr env{0.001, 0.05, 0.8, release};
    for (std::size_t n = 0; n < y.size(); ++n)
        y[n] = static_cast<float>(velocity * env.at(string.time(n), gate) * body.process(y[n]));
    return string;
}

Sound bass(int rate, double hz, double velocity, double gate)
{
    const Adsr env{0.004, 0.18, 0.55, 0.05};
    Oscillator body(Waveform::Sine, rate), edge(Waveform::Saw, rate);
    Biquad tone(Biquad::Type::Lowpass, rate, 1200.0, 0.9);
    return render(rate, gate + env.release + 0.01, [&](double t) {
        tone.set(expSweep(t, 0.15, 1300.0, 380.0), 0.9);
        const double y = 0.8 * body.next(hz) + 0.45 * tone.process(edge.next(hz));
        return velocity * env.at(t, gate) * y;
    });
}

Sound bell(int rate, double hz, double velocity, double tau)
{
    struct Partial {
        double ratio, level, decay;
    };
    // Mostly harmonic for a sweet tone, with one stretched partial for shine.
    constexpr Partial partials[] = {{1.0, 1.0, 1.0}, {2.0, 0.35, 0.5}, {3.0, 0.15, 0.3}, {4.2, 0.1, 0.18}};
    std::vector<Oscillator> oscillators(std::size(partials), Oscillator(Waveform::Sine, rate));
    return render(rate, 5.0 * tau, [&](double t) {
        double y = 0.0;
        for (std::size_t i = 0; i < std::size(partials); ++i) {
            const Partial& p = partials[i];
            if (p.ratio * hz < 0.45 * rate)
                y += p.level * oscillators[i].next(p.ratio * hz) * attackDecay(t, 0.0015, p.decay * tau);
        }
        return velocity * y;
    });
}

} // namespace synth
