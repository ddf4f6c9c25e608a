#pragma once

#include "Model.h"

#include "engine/resources/ResourceHandle.h"

namespace kit {

class Texture;

// A textured rectangle of `width` x `height` world units centred on its
// entity, drawn with "shaders/flatShader.txt" from both sides.
class Sprite : public Model {
public:
    // The program every sprite draws with.
    static constexpr const char* program = "shaders/flatShader.txt";

    Sprite(ResourceHandle<Texture> texture, float width, float height, float renderPriority = 0.0f,
           bool blending = true);

    // Labels the entity "noCullFace", then as every renderable.
    void initialize() override;

    // Shows another texture (the menus' icons switch pictures this way).
    void setTexture(ResourceHandle<Texture> texture);
};

} // namespace kit
