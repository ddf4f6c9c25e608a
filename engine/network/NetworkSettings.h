#pragma once

#include "engine/core/Setting.h"

// Where a session is hosted and found, and how many copies it takes.
namespace kit::networkSettings {

extern const Setting<int> port;
extern const Setting<int> maxConnections;
extern const Setting<int> mapPort;
extern const Setting<unsigned short> discoveryPort1;
extern const Setting<unsigned short> discoveryPort2;

} // namespace kit::networkSettings
