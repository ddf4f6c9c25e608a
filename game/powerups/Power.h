#pragma once

#include "engine/core/Behavior.h"

#include <string>

namespace skyscuffle {

// A power a plane holds (on the plane's entity). Every power is found under
// "power", so that a death strips it; the weapon powers also under
// "gunPower", so that a new weapon replaces the old one.
class Power : public kit::Behavior {
public:
    Power();

protected:
    // The plane's own copy ends a power everywhere (once), by its type name:
    // the other copies never count its shots themselves.
    void endEverywhere(const std::string& typeName);

private:
    bool ending_ = false;
};

} // namespace skyscuffle
