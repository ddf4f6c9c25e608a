#include "LinkLabel.h"

#include "engine/core/Translation.h"
#include "engine/network/LinkWatch.h"
#include "engine/network/NetworkSystem.h"

#include <algorithm>

namespace skyscuffle {

std::string linkLabel(const kit::LinkQuality& link)
{
    const bool poor = kit::isPoor(link);
    std::string label = poor ? "! " : "";
    label += std::to_string(std::min(link.roundTripMs, kit::LinkQuality::maxRoundTripMs)) + " ms";
    if (const int loss = kit::lossPercent(link); loss > 0)
        // xgettext:no-c-format
        label += " " + (poor ? kit::format(kit::tr("{1}% loss"), {std::to_string(loss)}) : std::to_string(loss) + "%");
    return label;
}

glm::vec3 linkColour(const kit::LinkQuality& link)
{
    return kit::isPoor(link) ? poorLinkColour : fineLinkColour;
}

std::optional<kit::LinkQuality> linkTo(kit::World* world, std::uint32_t origin)
{
    // Never one to the world's own copy: the network system knows no link to itself.
    const kit::NetworkSystem* network = kit::NetworkSystem::of(world);
    return network ? network->links().of(origin) : std::nullopt;
}

} // namespace skyscuffle
