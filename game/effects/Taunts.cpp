#include "Taunts.h"

#include "EffectSettings.h"

#include "game/common/CallRefusals.h"
#include "game/common/PrintableText.h"
#include "game/common/Tags.h"
#include "game/looks/TextScale.h"
#include "game/players/PlayerInfo.h"

#include "engine/core/Label.h"
#include "engine/core/World.h"
#include "engine/physics/LifeSpan.h"
#include "engine/physics/Transform.h"
#include "engine/render/Camera.h"
#include "engine/render/Text.h"
#include "engine/resources/ResourceManagers.h"
#include "engine/resources/Texture.h"

#include <glm/mat4x4.hpp>
#include <glm/trigonometric.hpp>

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

namespace skyscuffle {

namespace {

// A taunt's line height at the designed text size, in world units.
constexpr float designedSize = 3.0f;
// Its lines at most this wide, and all of them at most this tall, in world
// units: a little less than the view with the camera at its closest (25
// units away, 70 degrees high, 4:3: 46 x 35), so that it fits the view
// whatever the camera does.
constexpr float widest = 44.0f, tallest = 30.0f;
// How far inside the view's edges it keeps, in device units (2 across).
constexpr float viewMargin = 0.02f;

// The taunt's words broken at spaces into lines `room` glyphs long at most (a
// word longer than that stays whole).
std::vector<std::string> tauntLines(const std::string& text, std::size_t room)
{
    std::vector<std::string> lines{""};
    std::size_t at = 0;
    while (at <= text.size()) {
        const std::size_t space = std::min(text.find(' ', at), text.size());
        const std::string word = text.substr(at, space - at);
        if (!lines.back().empty() && lines.back().size() + 1 + word.size() > room)
            lines.emplace_back();
        lines.back() += (lines.back().empty() ? "" : " ") + word;
        at = space + 1;
    }
    return lines;
}

// The tallest a taunt's line shows on the screen (the overlay is 2 high): as
// at the designed size with the camera at its closest (25 units away, 70
// degrees high). Larger words stop growing there when the camera comes close.
const float tallestOnScreen = 2.0f * designedSize / (2.0f * 25.0f * std::tan(glm::radians(35.0f)));

// Keeps a taunt where it was said, or as near as the game camera's view lets
// it: moved only as far as it takes for its words to stay in the view (a
// plane at the view's edge, or a camera that has moved on); and no taller on
// the screen than tallestOnScreen. Placed after the camera has moved and
// taken the window's shape, before the scene is drawn.
class InView : public kit::Component {
public:
    InView(glm::vec3 said, glm::vec2 low, glm::vec2 high) : said_(said), low_(low), high_(high)
    {
        addTag(kit::tagId("renderer"));
        setRenderPriority(-50.0f);
    }

    void initialize() override
    {
        cameras_ = world->getEntityCollection({kit::tagId(tags::gameSpace), kit::typeId<kit::Camera>()});
        for (kit::Component* c : *world->componentsOf(entityId)) {
            if (!c->hasTag(kit::typeId<kit::Text>()))
                continue;
            auto* line = static_cast<kit::Text*>(c);
            lines_.push_back({line, line->origin});
            size_ = line->glyphSize;
        }
    }

    void render(float) override
    {
        auto* place = world->getComponent<kit::Transform>(entityId);
        if (!place || !cameras_ || cameras_->empty())
            return;
        const kit::EntityID eye = (*cameras_->begin()).id;
        const auto* camera = world->getComponent<kit::Camera>(eye);
        const auto* at = world->getComponent<kit::Transform>(eye);
        if (!camera || !at)
            return;
        const glm::mat4 toView = camera->projection * glm::inverse(at->worldMatrix());
        const auto onScreen = [&](glm::vec2 offset) -> std::optional<glm::vec2> {
            const glm::vec4 p = toView * glm::vec4(said_ + glm::vec3(offset, 0.0f), 1.0f);
            return p.w > 0.0f ? std::optional(glm::vec2(p) / p.w) : std::nullopt;
        };
        const std::optional<glm::vec2> base = onScreen(glm::vec2(0.0f)), top = onScreen(glm::vec2(0.0f, size_));
        if (!base || !top)
            return; // behind the camera
        const float tall = top->y - base->y;
        resize(tall > tallestOnScreen ? tallestOnScreen / tall : 1.0f);
        // At one depth, device units follow world units in proportion.
        const glm::vec2 low = low_ * scale_, high = high_ * scale_;
        const glm::vec2 from = *onScreen(low), to = *onScreen(high);
        glm::vec2 shift(0.0f);
        for (int axis = 0; axis < 2; ++axis) {
            const float across = to[axis] - from[axis];
            if (across <= 0.0f)
                continue;
            float move = 0.0f;
            if (across > 2.0f - 2.0f * viewMargin)
                move = -(from[axis] + to[axis]) * 0.5f; // wider than the view: its middle in the view's
            else
                move = std::max(0.0f, -1.0f + viewMargin - from[axis]) + std::min(0.0f, 1.0f - viewMargin - to[axis]);
            shift[axis] = move * (high[axis] - low[axis]) / across;
        }
        place->position = said_ + glm::vec3(shift, 0.0f);
    }

private:
    // Every line's glyphs and place from where it was said, at `scale` of their own.
    void resize(float scale)
    {
        if (std::abs(scale - scale_) < 1e-4f)
            return;
        scale_ = scale;
        for (auto& [line, origin] : lines_) {
            line->glyphSize = size_ * scale;
            line->origin = origin * scale;
        }
    }

    glm::vec3 said_;
    glm::vec2 low_, high_; // the words' corners from where it was said
    std::vector<std::pair<kit::Text*, glm::vec3>> lines_;
    float size_ = 0.0f, scale_ = 1.0f;
    kit::EntityCollection* cameras_ = nullptr;
};

} // namespace

std::string tauntText(int number)
{
    return effectSettings::taunts[std::clamp(number, 1, 4) - 1].value();
}

void spawnTaunt(kit::EntityHandle plane, const std::string& text)
{
    constexpr float shownFor = 3.0f;
    constexpr std::size_t longest = 80; // a peer's text is not trusted to be short
    if (text.size() > longest || !isPrintable(text)) {
        refuseCall("spawnTaunt", "a taunt too long or with characters the font has not");
        return;
    }
    kit::World* world = plane.world;
    const kit::Transform* at = world ? world->getComponent<kit::Transform>(plane.id) : nullptr;
    if (!at)
        return;
    const auto font = kit::textureManager().prefetch("fonts/UbuntuMono.png");
    glm::vec3 colour(1.0f);
    if (const auto* info = world->getComponent<PlayerInfo>(plane.id))
        colour = info->colour;
    // As large as the player's text size asks, in as many lines as that
    // takes; the last line where a single one stands, over the plane.
    // A long taunt at a large size would not fit the view in any number of
    // lines: its glyphs shrink as far as that takes, to 60 % at most.
    const float asked = scaledText(designedSize);
    float glyphSize = asked, advance = 0.0f;
    std::vector<std::string> lines;
    for (;; glyphSize *= 0.95f) {
        advance = glyphSize * 34.0f / 64.0f; // the font's cells are 34 x 64
        lines = tauntLines(text, static_cast<std::size_t>(std::max(widest / advance - 1.0f, 1.0f)));
        std::size_t longestLine = 0;
        for (const std::string& line : lines)
            longestLine = std::max(longestLine, line.size());
        const bool fits = glyphSize * static_cast<float>(lines.size()) <= tallest &&
                          advance * static_cast<float>(longestLine + 1) <= widest;
        if (fits || glyphSize * 0.95f < asked * 0.6f)
            break;
    }

    const kit::EntityHandle taunt = world->createEntity();
    world->addComponent(taunt, new kit::Label(tags::gameSpace));
    world->addComponent(taunt, new kit::Transform(at->worldPosition()));
    glm::vec2 low(0.0f), high(0.0f);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        // Centred over the plane: a line starts one advance right of its origin.
        const auto glyphs = static_cast<float>(lines[i].size());
        const glm::vec3 origin(-advance * (glyphs + 2.0f) * 0.5f, glyphSize * static_cast<float>(lines.size() - i),
                               0.0f);
        world->addComponent(taunt, new kit::Text(font, lines[i], colour, origin, {}, glyphSize));
        low = glm::min(low, glm::vec2(origin.x + advance, origin.y));
        high = glm::max(high, glm::vec2(origin.x + advance * (glyphs + 1.0f), origin.y + glyphSize));
    }
    world->addComponent(taunt, new InView(at->worldPosition(), low, high));
    world->addComponent(taunt, new kit::LifeSpan(shownFor));
}

} // namespace skyscuffle
