#include "ScreenFooter.h"

#include "game/looks/TextScale.h"
#include "game/widgets/Overlay.h"

#include <algorithm>

namespace skyscuffle {

namespace screens {

namespace {

constexpr float footerBottom = -0.95f;
constexpr float wordsSize = 0.07f, asideSize = 0.06f;
constexpr float margin = 0.08f, gap = 0.1f;
constexpr float widest = 2.6f; // inside a 4:3 window

// The width a line of n glyphs covers from its origin (it starts one glyph in).
float lineWidth(const std::string& words, float size)
{
    return widgets::glyphAdvance(size) * static_cast<float>(words.size() + 1);
}

} // namespace

float footerTop()
{
    return footerBottom + 0.1f + wordsSize * textScale();
}

widgets::Panel addContinueFooter(kit::World* world, float centreX, float width, const std::string& words,
                                 const std::string& aside)
{
    const float scale = textScale(), size = wordsSize * scale, besideSize = asideSize * scale;
    const float asideWidth = aside.empty() ? 0.0f : lineWidth(aside, besideSize) + gap;
    const float plateWidth = std::clamp(margin + lineWidth(words, size) + asideWidth + margin, width, widest);
    const float centre = std::clamp(centreX, (plateWidth - widest) * 0.5f, (widest - plateWidth) * 0.5f);
    const float left = centre - plateWidth * 0.5f, right = centre + plateWidth * 0.5f;
    const float baseline = footerBottom + 0.05f;
    std::vector<widgets::PanelLine> lines{{words, glm::vec2(left + margin, baseline), size}};
    if (!aside.empty())
        lines.push_back(
            {aside, glm::vec2(right - margin - asideWidth + gap, baseline), besideSize, glm::vec3(0.8f, 0.85f, 0.9f)});
    const float height = footerTop() - footerBottom;
    return widgets::addPanel(
        world, widgets::Box{glm::vec2(centre, footerBottom + height * 0.5f), glm::vec2(plateWidth, height)}, lines);
}

} // namespace screens

} // namespace skyscuffle
