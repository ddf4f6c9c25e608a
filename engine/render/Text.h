#pragma once

#include "GlyphBatch.h"
#include "Renderable.h"

#include <glm/vec3.hpp>

#include <string>

namespace kit {

class ShaderProgram;
class Texture;

// A string drawn with a 16 x 16 bitmap font, tinted by "color". Lines start
// at origin.x; origin.y is the first line's bottom; each glyph is glyphSize high.
class Text : public Renderable {
public:
    Text(ResourceHandle<Texture> font, std::string text, glm::vec3 colour, glm::vec3 origin,
         ResourceHandle<ShaderProgram> program = {}, float glyphSize = 1.0f);

    void setText(const std::string& text) { text_ = text; }
    [[nodiscard]] const std::string& text() const { return text_; }

    void draw(RenderState& state, const glm::mat4& model, const UniformSet& globals) override;

    float glyphSize;
    glm::vec3 colour;
    glm::vec3 origin;
    bool noDepth = false;    // drawn over everything
    bool faceCamera = false; // turned towards the camera, +Y up
    GlyphBatch batch;

private:
    std::string text_;
};

} // namespace kit
