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
