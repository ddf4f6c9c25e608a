#include "TuningRange.h"

#include <cmath>
#include <iostream>
#include <map>
#include <string>

namespace skyscuffle {

float tunedAtLeast(const kit::SettingsEntry<float>& entry, float lowest, float fallback)
{
    const float value = entry.value;
    if (std::isfinite(value) && value >= lowest)
        return value;
    // The last unusable value told per key: a value read every frame is told once.
    static std::map<std::string, float> told;
    const auto known = told.find(entry.key);
    const bool same =
        known != told.end() && (known->second == value || (std::isnan(value) && std::isnan(known->second)));
    if (!same) {
        std::cerr << "Tuning value " << entry.key << " = " << value << " is not usable (a number of at least " << lowest
                  << "); " << fallback << " is used\n";
        told[entry.key] = value;
    }
    return fallback;
}

} // namespace skyscuffle
