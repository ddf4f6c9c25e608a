#include "SessionNotice.h"

#include "game/screens/JoinLayout.h"

#include "game/widgets/Overlay.h"
#include "game/widgets/Panel.h"
#include "game/widgets/TextFit.h"

#include "engine/core/Behavior.h"
#include "engine/core/Log.h"
#include "engine/core/Translation.h"
#include "engine/core/World.h"
#include "engine/input/Keyboard.h"
#include "engine/network/HostMigration.h"
#include "engine/network/InviteCode.h"
#include "engine/network/LANDiscoverySystem.h"
#include "engine/network/NetworkSystem.h"
#include "engine/network/PortMapping.h"
#include "engine/physics/Transform.h"
#include "engine/render/Sprite.h"
#include "engine/render/Text.h"

#include <algorithm>
#include <cstdio>

namespace skyscuffle {

std::string sessionNoticeLine(const kit::NetworkSystem& network)
{
    const kit::HostMigration& session = network.migration();
    if (session.seeking())
        return kit::tr("The host has gone: looking for the next one");
    switch (session.outcome()) {
    case kit::HostMigration::Outcome::none:
        break;
    case kit::HostMigration::Outcome::alone:
        return kit::tr("The host has gone: you host your own games now");
    case kit::HostMigration::Outcome::hostsSession:
        return kit::tr("The host has gone: you host the session now");
    case kit::HostMigration::Outcome::joinedNextHost: {
        char copy[16];
        std::snprintf(copy, sizeof copy, "%08x", session.host());
        return kit::format(kit::tr("The host has gone: copy {1} hosts now"), {copy});
    }
    }
    return "";
}

std::string inviteCodeOf(const kit::NetworkSystem& network)
{
    const kit::PortMapping* mapping = network.isServer() ? network.portMapping() : nullptr;
    if (!mapping)
        return "";
    const kit::PortMapping::Status status = mapping->status();
    return status.outcome == kit::PortMapping::Outcome::mapped ? kit::inviteCode::encode(status.external) : "";
}

std::string internetNoticeLine(const kit::NetworkSystem& network, bool translated)
{
    const kit::PortMapping* mapping = network.isServer() ? network.portMapping() : nullptr;
    return mapping ? internetLine(mapping->status(), mapping->port(), translated) : "";
}

std::string internetLine(const kit::PortMapping::Status& status, std::uint16_t mappedPort, bool translated)
{
    const std::string port = std::to_string(mappedPort);
    switch (status.outcome) {
    case kit::PortMapping::Outcome::asking:
        return kit::format(kit::tr("Asking the router to open UDP port {1}...", translated), {port});
    case kit::PortMapping::Outcome::mapped:
        return kit::format(kit::tr("Friends elsewhere: code {1} ({2})", translated),
                           {kit::inviteCode::encode(status.external),
                            status.external.ipString() + ":" + std::to_string(status.external.port)});
    case kit::PortMapping::Outcome::privateExternal:
        return kit::format(kit::tr("Two routers: forward UDP port {1} on both for friends", translated), {port});
    case kit::PortMapping::Outcome::noRouter:
    case kit::PortMapping::Outcome::refused:
        break;
    }
    return kit::format(kit::tr("For friends elsewhere, forward UDP port {1} here", translated), {port});
}

namespace {

constexpr float noticeHintSize = 0.035f;
constexpr float noticeMargin = 0.04f;  // between the plate's left edge and the lines
constexpr float plateWithHint = 1.55f; // the plate's height with the hint, in its height without

// The plate behind the internet lines without the hint: as wide as the
// longest line, its centre the code line's.
struct NoticePlate {
    glm::vec2 centre;
    glm::vec2 size;
};
NoticePlate noticePlate(glm::vec2 internetAt)
{
    const float width =
        widgets::glyphAdvance(internetLineSize) * static_cast<float>(longestInternetLine) + 2.0f * noticeMargin;
    return {internetAt + glm::vec2(0.5f * width - noticeMargin, 0.4f * internetLineSize),
            glm::vec2(width, 2.4f * internetLineSize)};
}

// Where the plate's centre stands with the hint under the code: down by the
// hint's line, its top where it was.
float hintedPlateCentre(float centre, float height)
{
    return centre - 0.5f * (plateWithHint - 1.0f) * height;
}

// The notice's lines, kept up to date every frame.
class NoticeBoard : public kit::Behavior {
public:
    static constexpr float copiedShown = 3.0f; // seconds "copied" stays under the code

    NoticeBoard(kit::Text* line, kit::Text* internet, kit::Text* hint, kit::EntityHandle plate, float plateCentre,
                float plateHeight, float width)
        : line_(line), internet_(internet), hint_(hint), plate_(plate), plateCentre_(plateCentre),
          plateHeight_(plateHeight), width_(width)
    {
        addClassTags<NoticeBoard>("noticeBoard");
    }

    void update(float dt) override
    {
        copiedFor_ = std::max(0.0f, copiedFor_ - dt);
        refresh();
    }

    void copied()
    {
        copiedFor_ = copiedShown;
        refresh();
    }

    void refresh()
    {
        kit::NetworkSystem* network = kit::NetworkSystem::of(world);
        if (!network)
            return;
        widgets::setText(line_, sessionNoticeLine(*network));
        const std::string friends = internetNoticeLine(*network, false);
        if (friends != said_ && !friends.empty())
            kit::log::info() << friends;
        said_ = friends;
        const bool code = !inviteCodeOf(*network).empty();
        say(internet_, internetNoticeLine(*network));
        say(hint_, !code               ? ""
                   : copiedFor_ > 0.0f ? kit::tr("Copied: paste it to your friends")
                                       : kit::tr("Control+C or a pad's right shoulder copies the code"));
        if (auto* place = world->getComponent<kit::Transform>(plate_.id)) {
            const float tall = noticePlateScale(!friends.empty(), code, width_ > 0.0f);
            place->scale = glm::vec3(friends.empty() ? 0.0f : 1.0f, tall, friends.empty() ? 0.0f : 1.0f);
            place->position.y = tall > 1.0f ? hintedPlateCentre(plateCentre_, plateHeight_) : plateCentre_;
        }
        auto* discovery = world->single<kit::LANDiscoverySystem>();
        const bool hosting = network->isServer() && network->peer && network->peer->isActive();
        if (discovery && discovery->hosting != hosting) {
            discovery->hosting = hosting;
            discovery->announceNow = true;
        }
    }

private:
    // The words on one line, or broken to the width where there is one.
    void say(kit::Text* text, const std::string& words) const
    {
        if (width_ <= 0.0f) {
            widgets::setText(text, words);
            return;
        }
        std::string broken;
        for (const std::string& line : widgets::wrapWords(words, width_, text->glyphSize))
            broken += (broken.empty() ? "" : "\n") + line;
        widgets::setText(text, broken);
    }

    kit::Text* line_;
    kit::Text* internet_;
    kit::Text* hint_;
    kit::EntityHandle plate_;
    float plateCentre_;
    float plateHeight_;
    float width_;
    std::string said_;
    float copiedFor_ = 0.0f;
};

} // namespace

float noticePlateScale(bool friends, bool code, bool broken)
{
    if (!friends)
        return 0.0f;
    // Broken to a width, the plate holds the longest lines and the hint already.
    return code && !broken ? plateWithHint : 1.0f;
}

NoticeBounds internetPlateBounds(glm::vec2 internetAt)
{
    const NoticePlate plate = noticePlate(internetAt);
    const float centre = hintedPlateCentre(plate.centre.y, plate.size.y);
    const float half = 0.5f * plateWithHint * plate.size.y;
    return {plate.centre.x - 0.5f * plate.size.x, centre - half, plate.centre.x + 0.5f * plate.size.x, centre + half};
}

bool copyInviteCode(kit::World* world)
{
    kit::NetworkSystem* network = kit::NetworkSystem::of(world);
    const std::string code = network ? inviteCodeOf(*network) : "";
    if (code.empty() || !world->keyboard) {
        kit::log::info() << "No invite code to copy: only a host whose router forwards its port has one";
        return false;
    }
    world->keyboard->setClipboardText(code);
    kit::log::info() << "Invite code " << code << " copied to the clipboard";
    for (kit::Component* c : *world->getComponentCollection(kit::typeId<NoticeBoard>()))
        static_cast<NoticeBoard*>(c)->copied();
    return true;
}

void showSessionNotice(kit::World* world, const JoinLayout& layout)
{
    kit::Text* line = widgets::addText(world, "", layout.sessionAt, layout.sessionSize, glm::vec3(1.0f, 0.7f, 0.35f));
    const glm::vec2 internetAt = layout.internetAt;
    const bool broken = layout.internetWidth > 0.0f;
    // The internet lines stand on a plate of their own, there only while they
    // say something; a hint under the code grows it downwards, unless the
    // lines are broken to a width, where the plate holds them all already.
    const NoticePlate shape = broken ? NoticePlate{layout.notice.centre, layout.notice.size} : noticePlate(internetAt);
    const float size = layout.internetSize, hintSize = size * noticeHintSize / internetLineSize;
    // Broken, the hint starts under the most lines the code's can take.
    const float hintDown = broken ? 3.0f * size + 0.01f : 1.5f * size;
    const widgets::Panel panel =
        widgets::addPanel(world, widgets::Box{shape.centre, shape.size},
                          {{"", internetAt, size, glm::vec3(1.0f, 1.0f, 0.85f)},
                           {"", internetAt - glm::vec2(0.0f, hintDown), hintSize, glm::vec3(0.8f, 0.85f, 0.9f)}});
    if (broken)
        widgets::fitWithin(line, layout.players.centre.x + layout.players.size.x * 0.5f - widgets::panelMargin);
    auto* board = world->emplaceComponent<NoticeBoard>(world->createEntity(), line, panel.lines[0], panel.lines[1],
                                                       panel.plate->getEntity(), shape.centre.y, shape.size.y,
                                                       layout.internetWidth);
    board->refresh();
}

} // namespace skyscuffle
