#include "JoinScreenView.h"

#include "game/match/MatchRules.h"
#include "game/match/MatchSettings.h"

#include "game/screens/ScreenScene.h"

#include "game/ai/ArtificialIntelligence.h"
#include "game/common/ArenaLayout.h"
#include "game/common/Tags.h"
#include "game/input/KeyBindings.h"
#include "game/lobby/JoinedBy.h"
#include "game/lobby/LinkLabel.h"
#include "game/players/PlayerInfo.h"
#include "game/players/PlayerShapes.h"
#include "game/players/Sides.h"
#include "game/widgets/Overlay.h"
#include "game/widgets/Panel.h"
#include "game/widgets/TextFit.h"

#include "engine/core/Label.h"
#include "engine/core/Translation.h"
#include "engine/core/UpdateSignal.h"
#include "engine/core/World.h"
#include "engine/input/KeyNames.h"
#include "engine/network/NetworkSystem.h"
#include "engine/render/Sprite.h"
#include "engine/render/Text.h"

#include <glm/gtc/quaternion.hpp>

#include <array>
#include <string>

namespace skyscuffle {

namespace {

constexpr std::size_t rosterSize = 6; // one line per colour
constexpr float lineSize = 0.06f;
constexpr float lineStep = 0.085f;
constexpr float left = -1.18f; // where the lines start; the panels reach 0.06 further
// A colour's name is padded to this many glyphs after the player's shape and
// a space; the link beside a remote player's line starts after the name and
// the word "remote".
constexpr std::size_t nameWidth = 9;
constexpr std::size_t markWidth = 2;

std::string padded(std::string word, std::size_t width)
{
    if (word.size() < width)
        word.append(width - word.size(), ' ');
    return word;
}

std::string pilotOf(kit::World* world, const kit::EntityHandle& player)
{
    if (!world->owns(player.id))
        return kit::tr("remote");
    const auto* by = world->getComponent<JoinedBy>(player.id);
    if (!by)
        return kit::tr("local");
    if (by->computer) {
        const auto* ai = world->getComponent<ArtificialIntelligence>(player.id);
        if (ai && ai->strength != PilotStrength::normal)
            return kit::format(kit::tr("computer, {1}"), {kit::tr(nameOf(ai->strength))});
        return kit::tr("computer");
    }
    if (by->device == JoinedBy::keyboard)
        return kit::tr("keyboard");
    if (by->device == JoinedBy::secondKeyboard)
        return kit::tr("keyboard 2");
    // Numbered from 1, as the Options screen's pads are: slot 0 is pad 1.
    return kit::format(kit::tr("gamepad {1}"), {std::to_string(by->device + 1)});
}

struct Roster {
    std::array<kit::Text*, rosterSize> lines{};
    std::array<kit::Text*, rosterSize> links{};
    // In a team match, each player's side: a badge at the line's end.
    std::array<std::array<kit::Sprite*, sideCount>, rosterSize> badges{};
    kit::Text* empty = nullptr;
    kit::Text* counter = nullptr;
};

bool teamMatchAhead(kit::World* world)
{
    const kit::NetworkSystem* network = kit::NetworkSystem::of(world);
    if (!network || network->isServer())
        return chosenRules().mode == Mode::teams;
    return hostsRules() && hostsRules()->mode == Mode::teams;
}

void refresh(kit::World* world, const Roster& roster)
{
    widgets::setText(roster.counter, remotePlayersLine(world));
    const auto players = world->getEntities(kit::typeId<PlayerInfo>())->toVector();
    const auto lines = rosterLines(world);
    for (std::size_t i = 0; i < rosterSize; ++i) {
        kit::Text* text = roster.lines[i];
        kit::Text* link = roster.links[i];
        const std::optional<kit::LinkQuality> quality =
            i < players.size() ? linkTo(world, players[i].id.origin) : std::nullopt;
        widgets::setText(link, quality ? linkLabel(*quality) : "");
        if (quality)
            link->colour = linkColour(*quality);
        // The side shows when the match will be a team match: the host's
        // choice, or this copy's own when it hosts.
        const std::optional<Side> side =
            i < players.size() && teamMatchAhead(world) ? sideOf(*world, players[i].id) : std::nullopt;
        for (int s = 0; s < sideCount; ++s)
            roster.badges[i][static_cast<std::size_t>(s)]->enabled = side && static_cast<int>(*side) == s;
        if (i < lines.size()) {
            widgets::setText(text, lines[i]);
            if (const auto* info = world->getComponent<PlayerInfo>(players[i].id))
                text->colour = widgets::vivid(info->colour);
        } else {
            widgets::setText(text, "");
        }
    }
    widgets::setText(roster.empty, lines.empty() ? kit::tr("Nobody has joined yet") : std::string());
}

} // namespace

std::string remotePlayersLine(kit::World* world)
{
    int remote = 0;
    for (const kit::EntityHandle& e : world->getEntities(kit::tagId(tags::playerInfo))->toVector())
        remote += world->owns(e.id) ? 0 : 1;
    return kit::format(
        kit::trn("{1} Remote Player Joined", "{1} Remote Players Joined", static_cast<unsigned long>(remote)),
        {std::to_string(remote)});
}

std::vector<std::string> linkLines(kit::World* world)
{
    std::vector<std::string> lines;
    for (const kit::EntityHandle& e : world->getEntities(kit::typeId<PlayerInfo>())->toVector()) {
        const std::optional<kit::LinkQuality> link = linkTo(world, e.id.origin); // none to this copy
        lines.push_back(link ? linkLabel(*link) : "");
    }
    return lines;
}

std::vector<std::string> rosterLines(kit::World* world)
{
    std::vector<std::string> lines;
    for (const kit::EntityHandle& e : world->getEntities(kit::typeId<PlayerInfo>())->toVector()) {
        if (const auto* info = world->getComponent<PlayerInfo>(e.id))
            lines.push_back(markOf(shapeOfLivery(info->modelTexture)) +
                            padded(kit::tr(info->colourName.c_str()), nameWidth) + pilotOf(world, e));
    }
    return lines;
}

void showJoinScreen(kit::World* world)
{
    const screens::Viewpoint view = screens::addLandscape(world);
    widgets::addOverlay(world, false);
    // Scuff stands 12 units before the eye, right of the text (8.4 units
    // there are one overlay unit), turned a little towards the middle.
    screens::addMascot(world, view.at(glm::vec3(6.2f, -0.6f, -12.0f)),
                       view.turn * glm::angleAxis(-0.45f, glm::vec3(0, 1, 0)), 1.5f);

    // The keyboard lines name the keys bound now (see the Options screen).
    using controls::Action;
    const auto keyOf = [](int set, Action action) { return kit::keys::name(controls::key(set, action)); };
    const std::string lines[] = {
        kit::format(kit::tr("Keyboard: Press {1} to join and {2} to leave"),
                    {keyOf(0, Action::join), keyOf(0, Action::leave)}),
        kit::format(kit::tr("Keyboard 2: Press {1} to join and {2} to leave"),
                    {keyOf(1, Action::join), keyOf(1, Action::leave)}),
        kit::format(kit::tr("Press {1} to add AI and {2} to remove"),
                    {keyOf(0, Action::addComputer), keyOf(0, Action::removeComputer)}),
        kit::tr("Gamepad: Press (A) to join and (B) to leave"),
        kit::tr("Press (X) to add AI and (Y) to remove"),
        kit::format(kit::tr("{1} or (LB): the last AI's strength"), {keyOf(0, Action::pilotStrength)}),
        kit::tr("Press Enter or (Start) to begin the round"),
    };
    // Two panels: the controls, and the players who have joined (wide enough
    // for a line with its link, "^ Orange   remote ! 310 ms 7% loss", ^ the shape).
    std::vector<widgets::PanelLine> help{
        {kit::tr("Join the match"), glm::vec2(left, 0.72f), 0.12f, widgets::titleColour}};
    float y = 0.6f;
    for (int i = 0; i < 7; ++i) {
        help.push_back({lines[i], glm::vec2(left, y), lineSize});
        y -= (i == 2 || i == 5) ? lineStep * 1.3f : lineStep;
    }
    widgets::addPanel(world, widgets::Box{glm::vec2(-0.47f, 0.44f), glm::vec2(1.54f, 0.88f)}, help);

    Roster roster;
    const widgets::Panel players =
        widgets::addPanel(world, widgets::Box{playersPanelCentre, playersPanelSize},
                          {{kit::tr("Players"), glm::vec2(left, -0.2f), 0.08f, widgets::titleColour},
                           {"", glm::vec2(left, -0.92f), lineSize, glm::vec3(0.8f, 0.9f, 1.0f)}});
    roster.counter = players.lines[1];
    roster.empty =
        widgets::addText(world, "", glm::vec2(left, -0.2f - lineStep * 1.2f), lineSize, glm::vec3(0.85f, 0.85f, 0.85f));
    const std::size_t linkColumn = markWidth + nameWidth + kit::tr("remote").size() + 1;
    const float linkLeft = left + widgets::glyphAdvance(lineSize) * static_cast<float>(linkColumn);
    for (std::size_t i = 0; i < rosterSize; ++i) {
        const float y = -0.2f - lineStep * (1.2f + float(i));
        roster.lines[i] = widgets::addText(world, "", glm::vec2(left, y), lineSize);
        roster.links[i] = widgets::addText(world, "", glm::vec2(linkLeft, y), lineSize, fineLinkColour);
        for (int s = 0; s < sideCount; ++s) {
            kit::Sprite* badge = widgets::addPicture(world, badgeOf(static_cast<Side>(s)),
                                                     glm::vec2(-0.125f, y + lineSize * 0.4f), glm::vec2(0.075f));
            badge->enabled = false;
            roster.badges[i][static_cast<std::size_t>(s)] = badge;
        }
    }

    refresh(world, roster);
    world->emplaceComponent<kit::UpdateSignal>(world->createEntity(),
                                               [world, roster](kit::Component*, float) { refresh(world, roster); });
}

std::string dropInLine(bool on)
{
    return on ? kit::tr("Tab: late players may drop in (on)") : kit::tr("Tab: late players may drop in (off)");
}

// How this copy's players change sides, with the keys bound now.
std::string switchLine()
{
    using controls::Action;
    return kit::format(
        kit::tr("{1}, {2} or (R-stick): change side"),
        {kit::keys::name(controls::key(0, Action::switchSide)), kit::keys::name(controls::key(1, Action::switchSide))});
}

std::vector<std::string> rulesLines(kit::World* world)
{
    const kit::NetworkSystem* network = kit::NetworkSystem::of(world);
    if (!network || network->isServer()) {
        const MatchRules rules = chosenRules();
        const bool rounds = rules.mode == Mode::lastPlaneStanding;
        std::vector<std::string> lines{kit::format(kit::tr("F7 or (Left): {1}"), {kit::tr(nameOf(rules.mode))})};
        if (rounds)
            lines.push_back(
                kit::format(kit::trn("F8 or (Down): first to {1} round", "F8 or (Down): first to {1} rounds",
                                     static_cast<unsigned long>(rules.roundsToWin)),
                            {std::to_string(rules.roundsToWin)}));
        if (rules.mode == Mode::teams)
            lines.push_back(rules.friendlyFire ? kit::tr("F8 or (Down): friendly fire on")
                                               : kit::tr("F8 or (Down): friendly fire off"));
        lines.push_back(
            kit::format(rounds ? kit::tr("F5 or (Right): rounds of {1}") : kit::tr("F5 or (Right): a match of {1}"),
                        {describeLength(rules.seconds)}));
        lines.push_back(kit::format(kit::tr("F6 or (Up): pick-ups {1}"), {kit::tr(nameOf(rules.pickups))}));
        if (network && network->peer && network->peer->isActive())
            lines.push_back(dropInLine(matchSettings::dropIn.value()));
        if (rules.mode == Mode::teams)
            lines.push_back(switchLine());
        return lines;
    }
    const std::optional<MatchRules>& heard = hostsRules();
    if (!heard)
        return {};
    const std::string length = heard->mode == Mode::lastPlaneStanding
                                   ? kit::format(kit::tr("First to {1}, rounds of {2}"),
                                                 {std::to_string(heard->roundsToWin), describeLength(heard->seconds)})
                                   : kit::format(kit::tr("A match of {1}"), {describeLength(heard->seconds)});
    std::vector<std::string> lines{kit::format(kit::tr("The host's match: {1}"), {kit::tr(nameOf(heard->mode))}),
                                   length, kit::format(kit::tr("Pick-ups: {1}"), {kit::tr(nameOf(heard->pickups))})};
    if (heard->mode == Mode::teams) {
        lines.push_back(heard->friendlyFire ? kit::tr("Friendly fire on") : kit::tr("Friendly fire off"));
        lines.push_back(switchLine());
    }
    return lines;
}

std::optional<std::int32_t> shownArena(kit::World* world)
{
    const kit::NetworkSystem* network = kit::NetworkSystem::of(world);
    if (!network || network->isServer())
        return chosenRules().arena;
    if (const std::optional<MatchRules>& heard = hostsRules())
        return heard->arena;
    return std::nullopt;
}

void showArenaPreview(kit::World* world)
{
    // Top right, over the mascot: the arena's picture on a plate, its name under it.
    const glm::vec2 centre(0.84f, 0.68f);
    const glm::vec2 size(0.7f, 0.4375f); // the pictures' 320 x 200
    kit::Sprite* plate = widgets::addPlate(world, centre - glm::vec2(0.0f, 0.05f), size + glm::vec2(0.08f, 0.18f));
    std::vector<kit::Sprite*> pictures;
    for (std::int32_t i = 0; i < arenaCount; ++i) {
        pictures.push_back(widgets::addPicture(world, arenaLayout(i).preview, centre, size));
        world->addComponent(pictures.back()->getEntity(), new kit::Label("arenaPreview"));
    }
    kit::Text* caption =
        widgets::addText(world, "", glm::vec2(centre.x - size.x * 0.5f, centre.y - size.y * 0.5f - 0.08f), 0.045f,
                         glm::vec3(0.85f, 0.9f, 1.0f));
    widgets::fitWithin(caption, centre.x + (size.x + 0.08f) * 0.5f - widgets::panelMargin);
    world->emplaceComponent<kit::UpdateSignal>(world->createEntity(), [world, plate, pictures, caption](kit::Component*,
                                                                                                        float) {
        const std::optional<std::int32_t> arena = shownArena(world);
        const kit::NetworkSystem* network = kit::NetworkSystem::of(world);
        const bool hosting = !network || network->isServer();
        for (std::size_t i = 0; i < pictures.size(); ++i)
            pictures[i]->enabled = arena && static_cast<std::size_t>(*arena) == i;
        plate->enabled = arena.has_value();
        widgets::setText(
            caption, !arena ? std::string()
                     : hosting
                         ? kit::format(kit::tr("F9 or (L-stick): {1}"), {kit::tr(arenaLayout(*arena).title.c_str())})
                         : kit::format(kit::tr("The host's arena: {1}"), {kit::tr(arenaLayout(*arena).title.c_str())}));
    });
}

void showMatchLines(kit::World* world)
{
    const glm::vec3 colour(0.85f, 0.9f, 1.0f);
    const float x = internetLinesAt.x + 0.03f;
    std::vector<widgets::PanelLine> lines;
    for (int i = 0; i < 6; ++i)
        lines.push_back({"", glm::vec2(x, -0.58f - 0.07f * static_cast<float>(i)), 0.045f, colour});
    const widgets::Panel panel =
        widgets::addPanel(world, widgets::Box{glm::vec2(0.64f, -0.73f), glm::vec2(1.3f, 0.44f)}, lines);
    world->emplaceComponent<kit::UpdateSignal>(world->createEntity(), [world, panel](kit::Component*, float) {
        const std::vector<std::string> shown = rulesLines(world);
        for (std::size_t i = 0; i < panel.lines.size(); ++i)
            widgets::setText(panel.lines[i], i < shown.size() ? shown[i] : std::string());
        panel.plate->enabled = !shown.empty();
    });
}

} // namespace skyscuffle
