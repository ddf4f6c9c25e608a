#include "WatchView.h"

#include "game/common/Tags.h"
#include "game/input/KeyBindings.h"
#include "game/lobby/JoinedBy.h"
#include "game/looks/TextScale.h"
#include "game/match/DropIn.h"
#include "game/match/HudLayout.h"
#include "game/match/MatchStart.h"
#include "game/players/Sides.h"
#include "game/replays/PlaneFollow.h"

#include "engine/core/Label.h"
#include "engine/core/Log.h"
#include "engine/core/Translation.h"
#include "engine/core/World.h"
#include "engine/input/JoystickManager.h"
#include "engine/input/KeyNames.h"
#include "engine/input/Keyboard.h"
#include "engine/input/Keys.h"
#include "engine/input/PadButtons.h"
#include "engine/physics/Transform.h"
#include "engine/render/AspectTranslation.h"
#include "engine/render/Text.h"
#include "engine/resources/ResourceManagers.h"

namespace skyscuffle {

WatchView::WatchView(std::shared_ptr<const MatchState> state) : state_(std::move(state))
{
    addClassTags<WatchView>("watchView");
}

WatchView* WatchView::addTo(kit::World& world, std::shared_ptr<const MatchState> state)
{
    // Right of the clock, clear of the links' strip at the left (placed by show).
    const glm::vec3 at(0.45f, 0.86f, 0.0f);
    const kit::EntityHandle e = world.createEntity();
    world.addComponent(e, new kit::Label(tags::hudSpace));
    world.addComponent(e, new kit::Transform(at));
    world.addComponent(e, new kit::AspectTranslation(at));
    world.addComponent(e, new kit::Text(kit::textureManager().prefetch("fonts/UbuntuMono.png"), "", glm::vec3(1.0f),
                                        glm::vec3(0.0f), {}, 0.05f));
    auto* view = new WatchView(std::move(state));
    world.addComponent(e, view);
    return view;
}

void WatchView::initialize()
{
    if (world->keyboard)
        keys_.emplace_back(world->keyboard->keyPressed.connect([this](kit::Keyboard::KeyInfo key) {
            for (int set = 0; set < controls::keyboardSets; ++set) {
                if (key.key == controls::key(set, controls::Action::join)) {
                    dropIn(set == 0 ? JoinedBy::keyboard : JoinedBy::secondKeyboard, nullptr);
                    return;
                }
            }
            if (key.key == kit::keys::f && !key.control && !key.alt)
                followNext();
        }));
    if (world->joysticks)
        keys_.emplace_back(world->joysticks->buttonPressed.connect([this](kit::Joystick::ButtonInfo press) {
            if (press.button == kit::pad::y)
                followNext();
            else if (press.button == kit::pad::a && press.joystick)
                dropIn(press.joystick->id, press.joystick);
        }));
    show();
}

void WatchView::onRemoved()
{
    keys_.clear();
}

void WatchView::followNext()
{
    following_ = planeFollow::follow(*world, planeFollow::nextAfter(*world, following_));
    kit::log::info() << "Watching " << (following_.empty() ? std::string("everyone") : following_);
    show();
}

void WatchView::dropIn(int device, kit::Joystick* joystick)
{
    askToDropIn(*world, *state_, device, joystick);
}

void WatchView::update(float)
{
    if (state_->droppedIn) {
        world->destroyEntity(getEntity());
        return;
    }
    show();
}

std::string WatchView::status() const
{
    std::string text = (following_.empty() ? kit::tr("Watching")
                                           : kit::format(kit::tr("Watching {1}"), {kit::tr(following_.c_str())})) +
                       "\n" + kit::tr("F follows the next plane");
    if (state_->started)
        text += "\n" + (state_->dropInOpen ? kit::format(kit::tr("{1} or (A) drops you in"),
                                                         {kit::keys::name(controls::key(0, controls::Action::join))})
                                           : kit::tr("The host has drop-in off"));
    return text;
}

void WatchView::show()
{
    const bool sides = world->single<TeamPlay>() != nullptr;
    const bool rounds = state_->started && playedRules(*state_).mode == Mode::lastPlaneStanding;
    const std::string now = status();
    std::string laidOut = now + (sides ? "\n(sides)" : "") + (rounds ? "\n(rounds)" : "");
    if (laidOut == shown_)
        return;
    shown_ = std::move(laidOut);
    auto* text = world->getComponent<kit::Text>(entityId);
    if (!text)
        return;
    // At the designed size its lines start at 0.45 of the half-width (0.6
    // on a 4:3 window), the first line's top at 0.91; larger, they start
    // further left and higher, beside the middle of the top while there is
    // room for a dozen glyphs to a line, else under it; they break where
    // they would run past the window's edge.
    const float scale = textScale(), size = scaledText(0.05f), advance = hud::advance(size);
    const float outer = hud::aspect - 0.03f, start = 0.45f * hud::aspect + advance - 0.25f * (scale - 1.0f);
    const auto lines = [&](float room) { return hud::breakLines(now, std::min(room, outer - start) + advance, size); };
    const hud::Corner place =
        hud::corner(false, outer, 0.91f + 0.05f * (scale - 1.0f), 12.0f * advance, hud::topMiddle(sides, rounds),
                    [&](float room) { return size * static_cast<float>(lines(room).size()); });
    const float left = std::max(place.inner, start) - advance;
    text->setText(hud::joined(hud::breakLines(now, outer - left, size)));
    text->glyphSize = size;
    const glm::vec3 at(left / hud::aspect, place.top - size, 0.0f);
    if (auto* pinned = world->getComponent<kit::AspectTranslation>(entityId))
        pinned->offset = at;
    if (auto* transform = world->getComponent<kit::Transform>(entityId))
        transform->position = glm::vec3(left, at.y, 0.0f);
}

} // namespace skyscuffle
