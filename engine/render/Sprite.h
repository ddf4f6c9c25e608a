#pragma once

#include "Model.h"

#include "engine/resources/ResourceHandle.h"

namespace kit {

class Texture;

// A textured rectangle of `width` x `height` world units centred on its
// entity, drawn with "shaders/flatShader.txt" from both sides. Once its
// texture is loaded, only the parts of the rectangle where the texture shows
// anything are drawn (see TextureCoverage): the same pixels, fewer to shade.
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

    // Trims the rectangle to the texture's coverage once the texture is loaded.
    void prepare() override;

private:
    ResourceHandle<Texture> texture_;
    float width_, height_;
    const Texture* trimmedFor_ = nullptr;
};

} // namespace kit
