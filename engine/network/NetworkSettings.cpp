#include "NetworkSettings.h"

namespace kit::networkSettings {

const Setting<int> port{"tuning.server.port", 16519, "the game port a host listens on"};
const Setting<int> maxConnections{"tuning.server.maxConnections", 16, "copies a host accepts"};
const Setting<int> mapPort{"tuning.server.mapPort", 1,
                           "a hosting copy asks the router to forward the game port from the internet (UPnP or "
                           "NAT-PMP); 0 leaves the router alone"};
const Setting<unsigned short> discoveryPort1{"tuning.lanDiscovery.port1", 16520, "where copies find each other"};
const Setting<unsigned short> discoveryPort2{"tuning.lanDiscovery.port2", 16521,
                                             "the second port copies find each other on"};

} // namespace kit::networkSettings
