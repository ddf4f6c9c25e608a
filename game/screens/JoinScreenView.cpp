#include "JoinScreenView.h"

#include "game/match/MatchRules.h"
#include "game/match/MatchSettings.h"

#include "game/screens/JoinLayout.h"
#include "game/screens/ScreenScene.h"
#include "game/screens/SessionNotice.h"

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

#include <algorithm>
#include <array>
#include <iterator>
#include <memory>
#include <string>

namespace skyscuffle {

namespace {

constexpr std::size_t rosterSize = 6; // one line per colour
constexpr float pageSeconds = 5.0f;   // how long a page of the controls stays
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
    // Compact: the counter gives way to what became of the session.
    bool counterGivesWay = false;
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
    const kit::NetworkSystem* network = kit::NetworkSystem::of(world);
    const bool noticed = roster.counterGivesWay && network && !sessionNoticeLine(*network).empty();
    widgets::setText(roster.counter, noticed ? std::string() : remotePlayersLine(world));
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

void showJoinScreen(kit::World* world, const JoinLayout& layout)
{
    const screens::Viewpoint view = screens::addLandscape(world);
    widgets::addOverlay(world, false);
    // Scuff stands 12 units before the eye, right of the text (8.4 units
    // there are one overlay unit), turned a little towards the middle.
    if (!layout.compact)
        screens::addMascot(world, view.at(glm::vec3(6.2f, -0.6f, -12.0f)),
                           view.turn * glm::angleAxis(-0.45f, glm::vec3(0, 1, 0)), 1.5f);

    // The keyboard lines name the keys bound now (see the Options screen).
    using controls::Action;
    const auto keyOf = [](int set, Action action) { return kit::keys::name(controls::key(set, action)); };
    const std::vector<std::string> lines{
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
    // More lines than fit: a page of them at a time, its number by the title.
    const int shown = std::min(layout.perPage, static_cast<int>(lines.size()));
    const int pages = (static_cast<int>(lines.size()) + shown - 1) / shown;
    const std::string title = kit::tr("Join the match");
    const auto titleOf = [title, pages](int page) {
        return pages > 1 ? title + " (" + std::to_string(page + 1) + "/" + std::to_string(pages) + ")" : title;
    };
    std::vector<widgets::PanelLine> help{{titleOf(0), layout.titleAt, layout.titleSize, widgets::titleColour}};
    float y = layout.firstLine.y;
    for (int i = 0; i < shown; ++i) {
        help.push_back({lines[static_cast<std::size_t>(i)], glm::vec2(layout.firstLine.x, y), layout.lineSize});
        y -= layout.lineStep * ((i == 2 || i == 5) ? 1.0f + layout.groupGap : 1.0f);
    }
    const widgets::Panel controls = widgets::addPanel(world, layout.help, help);
    if (pages > 1) {
        auto turned = std::make_shared<float>(0.0f);
        world->emplaceComponent<kit::UpdateSignal>(
            world->createEntity(), [controls, lines, shown, pages, titleOf, turned](kit::Component*, float dt) {
                *turned += dt;
                const int page = static_cast<int>(*turned / pageSeconds) % pages;
                widgets::setText(controls.lines[0], titleOf(page));
                for (int i = 0; i < shown; ++i) {
                    const auto at = static_cast<std::size_t>(page * shown + i);
                    widgets::setText(controls.lines[static_cast<std::size_t>(i) + 1],
                                     at < lines.size() ? lines[at] : std::string());
                }
            });
    }

    Roster roster;
    roster.counterGivesWay = layout.compact;
    const float left = layout.playersTitleAt.x;
    const widgets::Panel players =
        widgets::addPanel(world, layout.players,
                          {{kit::tr("Players"), layout.playersTitleAt, layout.playersTitleSize, widgets::titleColour},
                           {"", layout.counterAt, layout.rosterSize, glm::vec3(0.8f, 0.9f, 1.0f)}});
    roster.counter = players.lines[1];
    roster.empty = widgets::addText(world, "", glm::vec2(left, layout.rosterTop), layout.rosterSize,
                                    glm::vec3(0.85f, 0.85f, 0.85f));
    const float lineEnd = layout.players.centre.x + layout.players.size.x * 0.5f - widgets::panelMargin;
    widgets::fitWithin(roster.empty, lineEnd);
    const std::size_t linkColumn = markWidth + nameWidth + kit::tr("remote").size() + 1;
    const float linkLeft = left + widgets::glyphAdvance(layout.rosterSize) * static_cast<float>(linkColumn);
    for (std::size_t i = 0; i < rosterSize; ++i) {
        const float y = layout.rosterTop - layout.rosterStep * static_cast<float>(i);
        roster.lines[i] = widgets::addText(world, "", glm::vec2(left, y), layout.rosterSize);
        roster.links[i] = widgets::addText(world, "", glm::vec2(linkLeft, y), layout.rosterSize, fineLinkColour);
        widgets::fitWithin(roster.links[i], lineEnd);
        for (int s = 0; s < sideCount; ++s) {
            kit::Sprite* badge = widgets::addPicture(world, badgeOf(static_cast<Side>(s)),
                                                     glm::vec2(layout.badgeX, y + layout.rosterSize * 0.4f),
                                                     glm::vec2(layout.badgeSize));
            badge->enabled = false;
            roster.badges[i][static_cast<std::size_t>(s)] = badge;
        }
        // A line ends at its badge, when it has one, or at the plate's edge.
        widgets::fitWithin(roster.lines[i], layout.compact ? layout.badgeX - layout.badgeSize * 0.6f : lineEnd);
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

void showArenaPreview(kit::World* world, const JoinLayout& layout)
{
    // Top right, over the mascot: the arena's picture on a plate, its name
    // under it (compact: its name alone, under the rules).
    const glm::vec2 centre = layout.arenaCentre, size = layout.arenaSize;
    kit::Sprite* plate = nullptr;
    std::vector<kit::Sprite*> pictures;
    if (layout.arenaPicture) {
        plate = widgets::addPlate(world, centre - glm::vec2(0.0f, 0.05f), size + glm::vec2(0.08f, 0.18f));
        for (std::int32_t i = 0; i < arenaCount; ++i) {
            pictures.push_back(widgets::addPicture(world, arenaLayout(i).preview, centre, size));
            world->addComponent(pictures.back()->getEntity(), new kit::Label("arenaPreview"));
        }
    }
    kit::Text* caption =
        widgets::addText(world, "", layout.captionAt, layout.captionSize, glm::vec3(0.85f, 0.9f, 1.0f));
    widgets::fitWithin(caption, layout.captionRight);
    world->emplaceComponent<kit::UpdateSignal>(world->createEntity(), [world, plate, pictures, caption](kit::Component*,
                                                                                                        float) {
        const std::optional<std::int32_t> arena = shownArena(world);
        const kit::NetworkSystem* network = kit::NetworkSystem::of(world);
        const bool hosting = !network || network->isServer();
        for (std::size_t i = 0; i < pictures.size(); ++i)
            pictures[i]->enabled = arena && static_cast<std::size_t>(*arena) == i;
        if (plate)
            plate->enabled = arena.has_value();
        widgets::setText(
            caption, !arena ? std::string()
                     : hosting
                         ? kit::format(kit::tr("F9 or (L-stick): {1}"), {kit::tr(arenaLayout(*arena).title.c_str())})
                         : kit::format(kit::tr("The host's arena: {1}"), {kit::tr(arenaLayout(*arena).title.c_str())}));
    });
}

std::vector<std::string> brokenToFit(const std::vector<std::string>& lines, std::size_t slots, float left, float right,
                                     float size)
{
    // The lines that shrink most are broken first, while the slots last.
    std::vector<std::vector<std::string>> pieces;
    std::vector<std::pair<float, std::size_t>> shrunk;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        pieces.push_back({lines[i]});
        // A line a little too long reads better a little smaller than broken.
        const float fitted = widgets::fittedSize(lines[i], left, right, size);
        if (fitted < size * 0.85f)
            shrunk.emplace_back(fitted, i);
    }
    std::sort(shrunk.begin(), shrunk.end());
    std::size_t count = lines.size();
    // The lines that carry one on are indented: they read as one.
    const std::string indent = "  ";
    const float indented = widgets::glyphAdvance(size) * static_cast<float>(indent.size());
    for (const auto& [fitted, i] : shrunk) {
        std::vector<std::string> broken = widgets::wrapWords(lines[i], right - left - indented, size);
        for (std::size_t piece = 1; piece < broken.size(); ++piece)
            broken[piece] = indent + broken[piece];
        if (count - 1 + broken.size() > slots)
            continue;
        count += broken.size() - 1;
        pieces[i] = std::move(broken);
    }
    std::vector<std::string> all;
    for (std::vector<std::string>& line : pieces)
        all.insert(all.end(), std::make_move_iterator(line.begin()), std::make_move_iterator(line.end()));
    return all;
}

void showMatchLines(kit::World* world, const JoinLayout& layout)
{
    const glm::vec3 colour(0.85f, 0.9f, 1.0f);
    constexpr std::size_t slots = 6;
    std::vector<widgets::PanelLine> lines;
    for (std::size_t i = 0; i < slots; ++i)
        lines.push_back(
            {"", layout.rulesAt - glm::vec2(0.0f, layout.rulesStep * static_cast<float>(i)), layout.rulesSize, colour});
    const widgets::Panel panel = widgets::addPanel(world, layout.rules, lines);
    // Compact, the plate holds the arena's name under the rules: it stays;
    // and a rule too long for the column takes two lines where there are
    // lines to spare.
    const bool compact = layout.compact;
    const float right = layout.rules.centre.x + layout.rules.size.x * 0.5f - widgets::panelMargin;
    world->emplaceComponent<kit::UpdateSignal>(
        world->createEntity(), [world, panel, compact, layout, right](kit::Component*, float) {
            const std::vector<std::string> rules = rulesLines(world);
            const std::vector<std::string> shown =
                compact ? brokenToFit(rules, slots, layout.rulesAt.x, right, layout.rulesSize) : rules;
            for (std::size_t i = 0; i < panel.lines.size(); ++i)
                widgets::setText(panel.lines[i], i < shown.size() ? shown[i] : std::string());
            panel.plate->enabled = compact || !shown.empty();
        });
}

} // namespace skyscuffle
