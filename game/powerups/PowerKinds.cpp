#include "PowerKinds.h"

#include <array>

namespace skyscuffle {

const PowerKind* powerKind(PowerEnum kind)
{
    static const std::array<PowerKind, 6> kinds{{
        {"images/wild.png", {"wildPickUpItem"}, glm::vec3(1.0f)},
        {"images/bombs.png", {"gunPickUpItem", "bombPickUpItem"}, glm::vec3(255, 126, 44) / 255.0f},
        {"images/gatling.png", {"gunPickUpItem", "gatlingPickUpItem"}, glm::vec3(245, 210, 82) / 255.0f},
        {"images/shotgun.png", {"gunPickUpItem", "shotgunPickUpItem"}, glm::vec3(255, 47, 45) / 255.0f},
        {"images/ram.png", {"speedPickUpItem"}, glm::vec3(74, 255, 240) / 255.0f},
        {"images/health.png", {"healthPickUpItem"}, glm::vec3(94, 227, 15) / 255.0f},
    }};
    const int index = static_cast<int>(kind);
    return index >= 0 && index < static_cast<int>(kinds.size()) ? &kinds[static_cast<std::size_t>(index)] : nullptr;
}

} // namespace skyscuffle
