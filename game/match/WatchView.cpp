#include "WatchView.h"

#include "game/common/Tags.h"
#include "game/replays/PlaneFollow.h"

#include "engine/core/Label.h"
#include "engine/core/Log.h"
#include "engine/core/World.h"
#include "engine/input/JoystickManager.h"
#include "engine/input/Keyboard.h"
#include "engine/input/Keys.h"
#include "engine/input/PadButtons.h"
#include "engine/physics/Transform.h"
#include "engine/render/AspectTranslation.h"
#include "engine/render/Text.h"
#include "engine/resources/ResourceManagers.h"

namespace skyscuffle {

WatchView::WatchView()
{
    addClassTags<WatchView>("watchView");
}

WatchView* WatchView::addTo(kit::World& world)
{
    // Right of the clock, clear of the links' strip at the left.
    const glm::vec3 at(0.45f, 0.86f, 0.0f);
    const kit::EntityHandle e = world.createEntity();
    world.addComponent(e, new kit::Label(tags::hudSpace));
    world.addComponent(e, new kit::Transform(at));
    world.addComponent(e, new kit::AspectTranslation(at));
    world.addComponent(e, new kit::Text(kit::textureManager().prefetch("fonts/UbuntuMono.png"), "", glm::vec3(1.0f),
                                        glm::vec3(0.0f), {}, 0.05f));
    auto* view = new WatchView;
    world.addComponent(e, view);
    return view;
}

void WatchView::initialize()
{
    if (world->keyboard)
        keys_.emplace_back(world->keyboard->keyPressed.connect([this](kit::Keyboard::KeyInfo key) {
            if (key.key == kit::keys::f && !key.control && !key.alt)
                followNext();
        }));
    if (world->joysticks)
        keys_.emplace_back(world->joysticks->buttonPressed.connect([this](kit::Joystick::ButtonInfo press) {
            if (press.button == kit::pad::y)
                followNext();
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

std::string WatchView::status() const
{
    return (following_.empty() ? std::string("Watching") : "Watching " + following_) + "\nF follows the next plane";
}

void WatchView::show()
{
    if (auto* text = world->getComponent<kit::Text>(entityId))
        text->setText(status());
}

} // namespace skyscuffle
