#pragma once

#include "Component.h"

namespace kit {

// A component that the world updates every frame; it only adds the tag "behavior".
class Behavior : public Component {
public:
    Behavior() { addTag(tagId("behavior")); }
};

} // namespace kit
