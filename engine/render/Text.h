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

// The rectangle a string's glyphs cover as GlyphBatch lays them out (each
// glyph one advance right of the one before it, the first one advance right
// of the origin; each line glyphSize below the last): empty (left > right)
// for a string without a glyph to draw but spaces and newlines.
struct TextBounds {
    float left = 0.0f, bottom = 0.0f, right = -1.0f, top = 0.0f;

    [[nodiscard]] bool empty() const { return left > right; }
};
TextBounds textBounds(const std::string& text, float glyphSize, glm::vec3 origin, float advance);

} // namespace kit
