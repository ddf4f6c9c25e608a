#include "SoundFunctions.h"

#include "game/common/CallRefusals.h"
#include "game/sound/SoundManager.h"

namespace skyscuffle {

void playSound(kit::EntityHandle entity, const std::string& name)
{
    if (!SoundManager::isTableName(name)) {
        refuseCall(fn::playSound.name, "a sound that is not in the game's table");
        return;
    }
    if (SoundManager* sounds = SoundManager::of(entity.world))
        sounds->play(name);
}

} // namespace skyscuffle
