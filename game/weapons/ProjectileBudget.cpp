#include "ProjectileBudget.h"

#include "WeaponSettings.h"

#include "game/weapons/Bomb.h"
#include "game/weapons/Bullet.h"

#include "engine/core/Log.h"
#include "engine/core/World.h"
#include "engine/network/ConnectionGuard.h"

#include <iterator>

namespace skyscuffle {

ProjectileBudget::Limits ProjectileBudget::tuned()
{
    return Limits{weaponSettings::maxAlivePerCopy.value(), weaponSettings::perCopyPerSecond.value(),
                  weaponSettings::perCopyBurst.value()};
}

ProjectileBudget* ProjectileBudget::of(kit::World* world)
{
    return world ? world->single<ProjectileBudget>() : nullptr;
}

ProjectileBudget::ProjectileBudget(Limits limits) : limits(limits)
{
    addClassTags<ProjectileBudget>("projectileBudget");
}

void ProjectileBudget::onAdded()
{
    // Counted afresh each time the budget joins a world (or its world starts):
    // the projectiles already there, then each one coming and going.
    connections_.clear();
    for (auto& [origin, c] : copies_)
        c.alive = 0;
    for (const kit::TagId kind : {kit::typeId<Bullet>(), kit::typeId<Bomb>()}) {
        for (kit::Component* c : world->getComponentCollection(kind)->toVector())
            count(c, +1);
        connections_.emplace_back(world->onComponentAdded(kind, [this](kit::Component* c) { count(c, +1); }));
        connections_.emplace_back(world->onComponentRemoved(kind, [this](kit::Component* c) { count(c, -1); }));
    }
}

void ProjectileBudget::onRemoved()
{
    connections_.clear();
}

void ProjectileBudget::update(float dt)
{
    clock_ += dt;
}

ProjectileBudget::Copy& ProjectileBudget::copy(std::uint32_t origin)
{
    auto found = copies_.find(origin);
    if (found != copies_.end())
        return found->second;
    // Copies with nothing alive and their whole burst back are as good as
    // new: forgotten, so that made-up origins cannot grow the table.
    constexpr std::size_t kept = 64;
    if (copies_.size() >= kept) {
        for (auto it = copies_.begin(); it != copies_.end();) {
            Copy& c = it->second;
            it = c.alive <= 0 && c.rate.left(clock_) >= limits.burst ? copies_.erase(it) : std::next(it);
        }
    }
    return copies_.try_emplace(origin, limits).first->second;
}

void ProjectileBudget::count(const kit::Component* projectile, int change)
{
    Copy& c = copy(projectile->entityId.origin);
    c.alive = std::max(c.alive + change, 0);
}

int ProjectileBudget::alive(std::uint32_t origin) const
{
    const auto found = copies_.find(origin);
    return found == copies_.end() ? 0 : found->second.alive;
}

bool ProjectileBudget::admit(std::uint32_t origin, std::string_view function)
{
    if (world && world->origin == origin)
        return true;
    Copy& c = copy(origin);
    if (static_cast<float>(c.alive) >= limits.alive) {
        refuse(function, origin, "as many of its projectiles are alive as a copy may have");
        return false;
    }
    if (!c.rate.take(clock_)) {
        refuse(function, origin, "projectiles beyond what a copy may fire per second");
        return false;
    }
    return true;
}

void ProjectileBudget::refuse(std::string_view function, std::uint32_t origin, std::string_view why)
{
    ++refused_;
    // The first refusal after a quiet second at once, the others counted and
    // told with the next line.
    if (told_ && clock_ - toldAt_ < 1.0f) {
        ++untold_;
        return;
    }
    auto line = kit::log::warn();
    line << "Refused \"" << function << "\" from copy " << kit::originText(origin) << ": " << why;
    if (untold_ > 0)
        line << " (and " << untold_ << " more since the last report)";
    told_ = true;
    toldAt_ = clock_;
    untold_ = 0;
}

} // namespace skyscuffle
