#include "TextFit.h"

#include "game/widgets/Overlay.h"

#include "engine/core/World.h"
#include "engine/render/Text.h"

#include <algorithm>

namespace skyscuffle {

namespace widgets {

float fittedSize(const std::string& words, float left, float right, float size)
{
    // GlyphBatch starts a line one glyph right of its origin.
    std::size_t longest = 0, line = 0;
    for (const char c : words) {
        line = c == '\n' ? 0 : line + 1;
        longest = std::max(longest, line);
    }
    if (longest == 0)
        return size;
    const float room = right - left;
    const float fits = room / (glyphAdvance(1.0f) * static_cast<float>(longest + 1));
    return std::clamp(fits, size * TextFit::smallest, size);
}

std::vector<std::string> wrapWords(const std::string& words, float width, float size)
{
    // A line of n glyphs covers n + 1 advances (it starts one glyph right of its origin).
    const float advance = glyphAdvance(size);
    const std::size_t room =
        advance > 0.0f ? static_cast<std::size_t>(std::max(width / advance - 1.0f, 1.0f)) : words.size();
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= words.size()) {
        const std::size_t end = std::min(words.find('\n', start), words.size());
        std::string line;
        std::size_t at = start;
        while (at < end) {
            const std::size_t space = std::min(words.find(' ', at), end);
            const std::string word = words.substr(at, space - at);
            if (!line.empty() && line.size() + 1 + word.size() > room) {
                lines.push_back(line);
                line.clear();
            }
            line += (line.empty() ? "" : " ") + word;
            at = space + 1;
        }
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

void refit(kit::Text* text)
{
    if (!text || !text->world)
        return;
    const auto* fit = text->world->getComponent<TextFit>(text->entityId);
    const auto* siblings = text->world->componentsOf(text->entityId);
    if (!fit || !siblings)
        return;
    const float size = fittedSize(text->text(), text->origin.x, fit->right, fit->size);
    for (kit::Component* c : *siblings) {
        if (c->hasTag(kit::typeId<kit::Text>()))
            static_cast<kit::Text*>(c)->glyphSize = size;
    }
}

void fitWithin(kit::Text* text, float right)
{
    if (!text || !text->world)
        return;
    if (auto* fit = text->world->getComponent<TextFit>(text->entityId))
        fit->right = right;
    else
        text->world->emplaceComponent<TextFit>(text->getEntity(), right, text->glyphSize);
    refit(text);
}

} // namespace widgets

} // namespace skyscuffle
