#pragma once

#include "engine/core/Component.h"

#include <glm/vec3.hpp>

namespace kit {

// Keeps an overlay item at the same fraction of the window's width: its
// position becomes (aspect * offset.x, offset.y, offset.z) every frame.
class AspectTranslation : public Component {
public:
    explicit AspectTranslation(glm::vec3 offset);

    void render(float dt) override;

    glm::vec3 offset;
};

} // namespace kit
