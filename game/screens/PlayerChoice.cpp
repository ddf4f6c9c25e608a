#include "PlayerChoice.h"

#include "engine/core/Settings.h"
#include "engine/core/Translation.h"

namespace skyscuffle {

void keep(const std::string& key, const std::string& value)
{
    kit::settings::clearForRun(key);
    kit::settings::setPlayer(key, value);
    kit::settings::keepPlayerChoices();
}

std::string onOff(bool on)
{
    return on ? kit::tr("On") : kit::tr("Off");
}

} // namespace skyscuffle
