#include "ConnectionGuard.h"

#include "engine/core/Log.h"

#include <cstdio>

namespace kit {

std::string originText(std::uint32_t origin)
{
    char hex[16];
    std::snprintf(hex, sizeof hex, "%08x", origin);
    return hex;
}

ConnectionGuard::ConnectionGuard(NetAddress address, const NetworkLimits& limits)
    : address(address), calls(limits.callsPerSecond, limits.callBurst),
      entities(limits.entitiesPerSecond, limits.entityBurst), records(limits.recordsPerSecond, limits.recordBurst),
      limits_(limits)
{
}

bool ConnectionGuard::hold(const std::vector<std::uint8_t>& batch)
{
    if (held_.size() >= limits_.heldPackets || heldBytes_ + batch.size() > limits_.heldBytes)
        return false;
    held_.push_back(batch);
    heldBytes_ += batch.size();
    return true;
}

std::vector<std::vector<std::uint8_t>> ConnectionGuard::takeHeld()
{
    std::vector<std::vector<std::uint8_t>> out(std::make_move_iterator(held_.begin()),
                                               std::make_move_iterator(held_.end()));
    held_.clear();
    heldBytes_ = 0;
    return out;
}

void ConnectionGuard::refuse(float now, std::string_view what)
{
    if (told_ && now - toldAt_ < 1.0f && now >= toldAt_) {
        ++untold_;
        return;
    }
    auto line = log::warn();
    line << "Dropped from " << name() << ": " << what;
    if (untold_ > 0)
        line << " (and " << untold_ << " more since the last report)";
    told_ = true;
    toldAt_ = now;
    untold_ = 0;
}

std::string ConnectionGuard::name() const
{
    std::string text = address.toString();
    if (origin)
        text += " (copy " + originText(*origin) + ")";
    return text;
}

} // namespace kit
