#include "ScreenFooter.h"

namespace skyscuffle {

namespace screens {

namespace {

constexpr float footerY = -0.865f;
constexpr float footerHeight = 0.17f;
constexpr float wordsY = -0.9f;
constexpr float wordsSize = 0.07f;

} // namespace

widgets::Panel addContinueFooter(kit::World* world, float centreX, float width, const std::string& words, float left,
                                 std::vector<widgets::PanelLine> more)
{
    more.insert(more.begin(), widgets::PanelLine{words, glm::vec2(left, wordsY), wordsSize});
    return widgets::addPanel(world, widgets::Box{glm::vec2(centreX, footerY), glm::vec2(width, footerHeight)}, more);
}

} // namespace screens

} // namespace skyscuffle
