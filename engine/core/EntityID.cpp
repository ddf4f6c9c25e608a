#include "EntityID.h"

#include <limits>
#include <random>

namespace kit {

std::uint32_t localOrigin()
{
    static const std::uint32_t origin = [] {
        std::random_device device;
        std::uniform_int_distribution<std::uint32_t> full(0, std::numeric_limits<std::uint32_t>::max());
        return full(device);
    }();
    return origin;
}

std::uint32_t nextEntitySerial()
{
    static std::uint32_t serial = 1;
    return serial++;
}

EntityID systemEntity()
{
    return EntityID{localOrigin(), 0};
}

} // namespace kit
