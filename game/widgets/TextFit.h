#pragma once

#include "engine/core/Component.h"

#include <string>
#include <vector>

namespace kit {
class Text;
}

namespace skyscuffle {

namespace widgets {

// Keeps a text's lines from running past `right`: where the words are too
// long for the room (a language longer than English, a long list of
// names), their glyphs shrink to fit, never below `smallest` of the size
// they were made with; short words keep that size. Sits on the text's entity,
// and setText fits every new value.
class TextFit : public kit::Component {
public:
    TextFit(float right, float size) : right(right), size(size) { addClassTags<TextFit>("textFit"); }

    float right; // the room's right edge, in overlay units
    float size;  // the size the words were made with
    static constexpr float smallest = 0.6f;
};

// The glyph size at which `words` (their longest line) starting at `left`
// end by `right`: `size` where they fit, smaller where not, down to
// TextFit::smallest of it.
float fittedSize(const std::string& words, float left, float right, float size);

// `words` broken into lines (at spaces, and at the line breaks they have)
// that fit within `width` at the glyph size `size`; a single word longer
// than that stays whole on its own line (its glyphs may still shrink).
std::vector<std::string> wrapWords(const std::string& words, float width, float size);

// Fits the text (and its outline) within `right` now and at every setText.
void fitWithin(kit::Text* text, float right);

// Fits the text as its TextFit says, if it has one.
void refit(kit::Text* text);

} // namespace widgets

} // namespace skyscuffle
