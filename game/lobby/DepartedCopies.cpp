#include "DepartedCopies.h"

#include "game/common/Tags.h"

#include "engine/core/Log.h"
#include "engine/core/World.h"
#include "engine/physics/Transform.h"

#include <iomanip>
#include <memory>
#include <set>
#include <vector>

namespace skyscuffle {

namespace {

const char* reason(kit::NetworkSystem::Departure why)
{
    switch (why) {
    case kit::NetworkSystem::Departure::left:
        return "left the session";
    case kit::NetworkSystem::Departure::lost:
        return "lost its connection";
    case kit::NetworkSystem::Departure::silent:
        return "fell silent";
    }
    return "went";
}

} // namespace

DepartedCopy removeCopy(kit::World& world, std::uint32_t origin)
{
    DepartedCopy gone;
    if (origin == world.origin)
        return gone;
    // The world's entities are ordered by origin, then serial: that copy's are
    // one run. Its pick-ups stay in the sky for whoever takes them: they are
    // the match's (a host makes them) and go by their own lifespan.
    const kit::TagId pickUp = kit::tagId(tags::pickUpItem);
    std::vector<kit::EntityID> doomed;
    for (auto it = world.entities.lower_bound(kit::EntityID{origin, 0});
         it != world.entities.end() && it->origin == origin; ++it) {
        if (!world.entityHasTag(*it, pickUp))
            doomed.push_back(*it);
    }
    // Parts hung on them, and parts hung on parts: this copy's own
    // propellers and guns of those planes go with them. A part made before
    // its plane had a Transform is missing from the plane's children, so the
    // parts are found by their parent instead.
    std::set<kit::EntityID> seen(doomed.begin(), doomed.end());
    for (bool grew = !doomed.empty(); grew;) {
        grew = false;
        for (const kit::EntityHandle& e : world.getEntities(kit::typeId<kit::Transform>())->toVector()) {
            const auto* transform = world.getComponent<kit::Transform>(e.id);
            if (transform && transform->parent.world && seen.contains(transform->parent.id) &&
                seen.insert(e.id).second) {
                doomed.push_back(e.id);
                grew = true;
            }
        }
    }
    const kit::TagId plane = kit::tagId(tags::plane);
    const kit::TagId player = kit::tagId(tags::player);
    for (const kit::EntityID& id : doomed) {
        if (!world.entities.contains(id) || id == world.systemEntity())
            continue;
        gone.planes += world.entityHasTag(id, plane);
        gone.players += world.entityHasTag(id, player);
        world.destroyEntityNow(kit::EntityHandle{id, &world});
        ++gone.entities;
    }
    return gone;
}

void removeDepartedCopies(kit::World& world)
{
    kit::NetworkSystem* network = kit::NetworkSystem::of(&world);
    if (!network)
        return;
    auto told = std::make_shared<std::set<std::uint32_t>>();
    kit::World* w = &world;
    world.connections.emplace_back(
        network->copyGone.connect([w, told](std::uint32_t origin, kit::NetworkSystem::Departure why) {
            const DepartedCopy gone = removeCopy(*w, origin);
            if (!told->insert(origin).second && gone.entities == 0)
                return; // heard of again after it went, and gone again: nothing new to say
            auto line = kit::log::info();
            line << "Copy " << std::hex << std::setw(8) << std::setfill('0') << origin << std::dec << " " << reason(why)
                 << ": its " << gone.planes << (gone.planes == 1 ? " plane is" : " planes are")
                 << " gone from the match";
        }));
}

} // namespace skyscuffle
