#include "MatchRecording.h"

#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"

namespace skyscuffle {

MatchRecording::MatchRecording()
{
    addClassTags<MatchRecording>("matchRecording");
    // After the network system (-10), before the match's own behaviours: a
    // record made this frame carries this frame's time.
    setUpdatePriority(-9.0f);
}

void MatchRecording::initialize()
{
    if (kit::NetworkSystem* network = kit::NetworkSystem::of(world))
        recorder_ = std::make_unique<kit::ReplayRecorder>(network);
}

void MatchRecording::update(float dt)
{
    if (recorder_)
        recorder_->advance(dt);
}

void MatchRecording::onRemoved()
{
    recorder_.reset();
}

MatchRecording* MatchRecording::of(kit::World* world)
{
    if (!world)
        return nullptr;
    kit::ComponentCollection* all = world->getComponentCollection(kit::typeId<MatchRecording>());
    if (!all || all->begin() == all->end())
        return nullptr;
    return static_cast<MatchRecording*>(*all->begin());
}

} // namespace skyscuffle
