#pragma once

#include "engine/core/Component.h"

namespace kit {

// Stretches its entity horizontally to the window's aspect every frame
// (scale.x = width / height * scale.y), before the renderers draw. A camera
// entity with one keeps square content square on any window.
class AspectMatcher : public Component {
public:
    AspectMatcher();

    void render(float dt) override;
};

} // namespace kit
