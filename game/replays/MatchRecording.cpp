#include "MatchRecording.h"

#include "game/players/PlayerFunctions.h"
#include "game/players/PlayerInfo.h"

#include "engine/core/World.h"
#include "engine/network/CallBatch.h"
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
    kit::NetworkSystem* network = kit::NetworkSystem::of(world);
    if (!network)
        return;
    recorder_ = std::make_unique<kit::ReplayRecorder>(network);
    // The players came before the match, in the lobby: the replay starts by
    // making them, as the calls that announced them did.
    kit::NetStream batch;
    for (const kit::EntityHandle& player : world->getEntities(kit::typeId<PlayerInfo>())->toVector()) {
        const PlayerInfo* info = world->getComponent<PlayerInfo>(player.id);
        PlayerTextureInfo texture{info->colourName, info->modelTexture, info->hudIcon, info->colour};
        int number = static_cast<int>(info->number);
        kit::NetStream arguments;
        arguments.write(player.id);
        kit::serializeArgument(arguments, texture);
        kit::serializeArgument(arguments, number);
        kit::callBatch::append(batch, fn::spawnPersistantPlayer.name, arguments);
    }
    if (batch.bitsUsed() > 0) {
        kit::callBatch::finish(batch);
        recorder_->calls({batch.data(), batch.bytesUsed()});
    }
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
    return world ? world->single<MatchRecording>() : nullptr;
}

} // namespace skyscuffle
