#pragma once

#include "Model.h"

#include "engine/resources/ResourceHandle.h"

#include <memory>

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

    // A sprite that shares its rectangle (and its trimming) with every other
    // sprite made this way of the same texture and size, and whose material
    // has an instanced program: a renderer draws all of them in one instanced
    // draw where nothing in between keeps them apart (the HUD's gauges).
    // Their own values (Model::setUniform) still tell them apart. A shared
    // sprite given another texture first takes a rectangle of its own.
    static Sprite* sharing(ResourceHandle<Texture> texture, float width, float height, float renderPriority = 0.0f);

    // The instanced program of shared sprites.
    static constexpr const char* instancedProgram = "shaders/flatInstancedShader.txt";

    // Labels the entity "noCullFace", then as every renderable.
    void initialize() override;

    // Shows another texture (the menus' icons switch pictures this way).
    void setTexture(ResourceHandle<Texture> texture);

    // Trims the rectangle to the texture's coverage once the texture is loaded.
    void prepare() override;

    // The rectangle's size as made (before any trimming).
    [[nodiscard]] float width() const { return width_; }
    [[nodiscard]] float height() const { return height_; }

private:
    struct Shared;
    Sprite(ResourceHandle<Texture> texture, float width, float height, float renderPriority,
           std::shared_ptr<Shared> shared);

    ResourceHandle<Texture> texture_;
    float width_, height_;
    // The texture the rectangle was last trimmed for; shared with the
    // sprites sharing the rectangle.
    std::shared_ptr<Shared> shared_;
};

} // namespace kit
