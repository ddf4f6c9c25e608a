#include "ReplaysScreen.h"

#include "game/match/MatchRules.h"
#include "game/match/MatchSettings.h"

#include "game/screens/LoadingScreen.h"
#include "game/screens/MainMenu.h"
#include "game/screens/MenuPage.h"
#include "game/screens/ScreenSwitch.h"

#include "game/common/ArenaLayout.h"
#include "game/common/PrintableText.h"
#include "game/looks/TextScale.h"
#include "game/match/GameWorld.h"
#include "game/match/HudLayout.h"
#include "game/match/MatchRules.h"
#include "game/match/MatchSettings.h"
#include "game/players/PlayerFunctions.h"
#include "game/players/PlayerShapes.h"
#include "game/replays/ClipRequest.h"
#include "game/replays/ReplayPlayback.h"
#include "game/replays/ReplayShelf.h"
#include "game/widgets/Overlay.h"
#include "game/widgets/Panel.h"
#include "game/widgets/RowMenu.h"
#include "game/widgets/TextFit.h"

#include "engine/core/Log.h"
#include "engine/core/Translation.h"
#include "engine/core/UpdateSignal.h"
#include "engine/core/World.h"
#include "engine/core/application/Application.h"
#include "engine/network/NetworkSystem.h"
#include "engine/render/Text.h"
#include "engine/resources/ResourceBucket.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>

namespace skyscuffle {
namespace {

// The most replays listed at once: the newest.
constexpr std::size_t listed = 12;

std::string minutes(float seconds)
{
    const int whole = static_cast<int>(std::lround(std::max(seconds, 0.0f)));
    char text[16];
    std::snprintf(text, sizeof text, "%d:%02d", whole / 60, whole % 60);
    return text;
}

// An origin for the playback's copy that no recorded copy can have had:
// neither this copy's nor the recording one's, drawn afresh.
std::uint32_t playbackOrigin(const kit::ReplayHeader& header, std::uint32_t own)
{
    std::random_device device;
    for (;;) {
        const std::uint32_t origin = device();
        if (origin != 0 && origin != own && origin != header.localOrigin)
            return origin;
    }
}

struct Listed {
    std::filesystem::path path;
    std::optional<kit::Replay> replay; // header only; none: not a replay (see why)
    std::string why;
};

// The chosen replay's players, each with its shape in its colour and its
// points, the most first. The shapes are this copy's, known by the colours'
// names; a file is anybody's, so a name with bytes beyond printable text (a
// shape's among them) is not shown.
void showPlayers(std::vector<kit::Text*>& lines, const Listed* chosen)
{
    std::vector<kit::ReplayPlayer> players;
    if (chosen && chosen->replay)
        players = chosen->replay->header.players;
    std::stable_sort(players.begin(), players.end(), [](const auto& a, const auto& b) { return a.score > b.score; });
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string text;
        glm::vec3 colour(1.0f);
        if (i < players.size()) {
            const kit::ReplayPlayer& p = players[i];
            char points[16];
            std::snprintf(points, sizeof points, "%4d", p.score);
            const std::string name = isPrintable(p.name) ? p.name : std::string("?");
            text = markOf(shapeOfColour(name)) + kit::tr(name.c_str()) +
                   (p.name == chosen->replay->header.winner ? " *" : "  ");
            text.resize(std::max<std::size_t>(text.size(), 14), ' ');
            text += points;
            colour = widgets::vivid(p.colour);
        } else if (i == 0 && chosen && !chosen->replay) {
            text = chosen->why;
            colour = glm::vec3(1.0f, 0.6f, 0.4f);
        }
        widgets::setText(lines[i], text);
        lines[i]->colour = colour;
    }
}

} // namespace

std::string replayRulesLine(const kit::ReplayHeader& header)
{
    // A file is anybody's: a value that is no choice of the join screen's says nothing.
    const auto digit = [&header](const std::string& key, char lowest, char highest) -> std::optional<int> {
        for (const auto& [k, value] : header.settings) {
            if (k == key)
                return value.size() == 1 && value[0] >= lowest && value[0] <= highest ? std::optional(value[0] - '0')
                                                                                      : std::nullopt;
        }
        return std::nullopt;
    };
    const std::optional<int> pickups = digit(matchSettings::pickups.key(), '0', '3');
    if (!pickups)
        return {};
    // The arena first where it was recorded: "Canyon, pick-ups: few".
    const std::string kind = kit::tr(nameOf(static_cast<Pickups>(*pickups)));
    const std::optional<int> arena = digit(matchSettings::arena.key(), '0', static_cast<char>('0' + arenaCount - 1));
    const std::string line =
        arena ? kit::format(kit::tr("{1}, pick-ups: {2}"), {kit::tr(arenaLayout(*arena).title.c_str()), kind})
              : kit::format(kit::tr("Pick-ups: {1}"), {kind});
    const std::optional<int> rounds = digit(matchSettings::roundsToWin.key(), '1', '9');
    const std::optional<int> mode = digit(matchSettings::mode.key(), '1', '2');
    if (mode == 1 && rounds)
        return kit::format(kit::tr("Last plane standing\nfirst to {1}"), {std::to_string(*rounds)}) + "\n" + line;
    if (mode == 2)
        return kit::tr("Team match") + "\n" + line;
    return line;
}

namespace {

// Where a replay stands and its keys, over the top left of its match: at the
// designed size a plate from x -1.24 to -0.26 (inside a 4:3 window, clear of
// the clock), four lines high. Larger, its lines break to the room beside the
// top's middle (see HudLayout.h), or under it where that is short, and the
// plate grows down with them; it is made again when its lines do.
class ReplayStatus {
public:
    ReplayStatus(kit::World* world, const kit::ReplayHeader& header, const std::string& status) : world_(world)
    {
        const float scale = textScale();
        size_ = 0.036f * scale;
        textX_ = left + 0.03f * scale;
        std::optional<Mode> mode;
        for (const auto& [key, value] : header.settings) {
            if (key == matchSettings::mode.key() && (value == "1" || value == "2"))
                mode = static_cast<Mode>(value[0] - '0');
        }
        // Ending at -0.26 at the designed size; larger, as far right as the room lets it.
        const float widest = -0.26f + (scale - 1.0f);
        const auto heightFor = [&](float room) {
            return height(hud::breakLines(status, wordsRoom(std::min(left + room, widest)), size_).size());
        };
        const hud::Corner place =
            hud::corner(true, left, 0.945f + 0.03f * (scale - 1.0f),
                        textX_ - left + widgets::panelMargin + 25.0f * hud::advance(size_),
                        hud::topMiddle(mode == Mode::teams, mode == Mode::lastPlaneStanding), heightFor);
        top_ = place.top;
        right_ = std::min(place.inner, widest);
    }

    void show(const std::string& status)
    {
        const std::vector<std::string> lines = hud::breakLines(status, wordsRoom(right_), size_);
        if (panel_.lines.empty() || std::max<std::size_t>(lines.size(), reserved) != made_) {
            for (const kit::EntityHandle& e : panel_.entities()) {
                widgets::showDrawn(*world_, e, false); // gone from this frame's picture already
                world_->destroyEntity(e);
            }
            made_ = std::max<std::size_t>(lines.size(), reserved);
            panel_ = widgets::addPanel(
                world_, widgets::Box::spanning((left + right_) * 0.5f, right_ - left, top_, top_ - height(made_)),
                {{"", glm::vec2(textX_, top_ - (0.016f + 0.036f) * textScale()), size_, glm::vec3(1.0f, 0.9f, 0.5f)}});
        }
        widgets::setText(panel_.lines[0], hud::joined(lines));
    }

private:
    static constexpr float left = -1.24f;
    static constexpr std::size_t reserved = 4; // room for a notice under the three lines, always

    // The plate's height for this many lines.
    [[nodiscard]] float height(std::size_t lines) const
    {
        return (0.026f + 0.036f * static_cast<float>(std::max(lines, reserved))) * textScale();
    }
    // The words' width from their origin on a plate ending at `right`.
    [[nodiscard]] float wordsRoom(float right) const { return right - widgets::panelMargin - textX_; }

    kit::World* world_;
    float size_ = 0.0f, textX_ = 0.0f, top_ = 0.0f, right_ = 0.0f;
    widgets::Panel panel_;
    std::size_t made_ = 0;
};

} // namespace

void watchReplay(kit::World* from, std::shared_ptr<const kit::Replay> replay, const ReplayPlayback::Pace& pace,
                 const std::filesystem::path& file)
{
    if (!from || !from->owner || !replay)
        return;
    auto next = std::make_shared<kit::World>([replay, pace, file](kit::World* world) {
        kit::log::info() << "Watching a replay from " << replay->header.recordedAt;
        auto* network = new kit::NetworkSystem(30.0f);
        world->addComponent(kit::EntityHandle{world->systemEntity(), world}, network);
        registerPlayerFunctions(*network);
        network->startAs(kit::NetworkSystem::Role::client); // a joined copy: the file is its host
        const MatchExits exits{[](const MatchResult&) -> kit::World::SetupFunction { return createReplaysScreen; },
                               createReplaysScreen};
        createGameWorld(world, exits, MatchView{replay->header.localOrigin, replay->header.seconds});
        // What a match draws, as the loading screen has it loaded before a match.
        auto loads = std::make_shared<kit::ResourceBucket>(requestBucket("buckets/gameWorld.txt"));
        auto* playback = new ReplayPlayback(
            replay, pace,
            [world, replay, file](const ReplayPlayback::Pace& again) { watchReplay(world, replay, again, file); },
            [loads] { return loads->isLoaded(); });
        if (!file.empty())
            playback->clip = [file](float start, float seconds) {
                const auto clip = requestClip(file, start, seconds);
                return clip ? kit::format(kit::tr("A clip is being drawn: {1}"), {clip->filename().string()})
                            : kit::tr("No clip (see the console)");
            };
        world->addComponent(world->createEntity(), playback);
        if (!pace.overlay)
            return;
        // Where the playback stands, and its keys, over the top left of the match.
        auto status = std::make_shared<ReplayStatus>(world, replay->header, playback->status());
        world->emplaceComponent<kit::UpdateSignal>(
            world->createEntity(), [playback, status](kit::Component*, float) { status->show(playback->status()); });
    });
    next->separateCopy = true;
    next->origin = playbackOrigin(replay->header, from->origin);
    from->owner->setWorld(std::move(next));
}

void createReplaysScreen(kit::World* world)
{
    kit::log::info() << "Creating Replays Screen";
    screens::endSession(world);

    auto found = std::make_shared<std::vector<Listed>>();
    for (const std::filesystem::path& path : everyReplay(replayDirectory())) {
        if (found->size() >= listed)
            break;
        Listed entry{path, std::nullopt, {}};
        entry.replay = kit::readReplayFile(path.string(), entry.why, true);
        found->push_back(std::move(entry));
    }

    std::vector<MenuRow> rows;
    for (std::size_t i = 0; i < found->size(); ++i) {
        const Listed& entry = (*found)[i];
        MenuRow row;
        if (entry.replay) {
            const kit::ReplayHeader& h = entry.replay->header;
            row.label =
                h.recordedAt.substr(0, 16) + "  " +
                (h.winner.empty() ? kit::tr("a draw") : kit::format(kit::tr("{1} won"), {kit::tr(h.winner.c_str())})) +
                (entry.path.parent_path().filename() == "kept" ? "  " + kit::tr("(kept)") : "");
            row.value = [length = minutes(h.seconds)] { return length; };
            row.choose = [world, path = entry.path] {
                std::string error;
                std::optional<kit::Replay> replay = kit::readReplayFile(path.string(), error);
                if (!replay) {
                    kit::log::warn() << error;
                    return;
                }
                watchReplay(world, std::make_shared<const kit::Replay>(std::move(*replay)), {}, path);
            };
        } else {
            row.label = entry.path.filename().string().substr(0, 30) + "  " + kit::tr("(unreadable)");
        }
        rows.push_back(row);
    }
    MenuRow back;
    back.label = kit::tr("Back");
    back.choose = [world] { screens::switchTo(world, createMainMenu); };
    rows.push_back(back);

    // With nothing to list, a word of why above the Back line.
    const std::string help = kit::tr("Up/Down choose, Enter watches, Escape goes back");
    const screens::MenuPageShape page = screens::menuPageShape(help);
    const float scale = textScale(), size = 0.055f * scale, step = 0.085f * scale;
    const float room = screens::menuPageRight - screens::menuPageLeft, whySize = 0.05f * scale;
    const std::vector<std::string> why =
        found->empty() ? widgets::wrapWords(kit::tr("No replays yet: every match you play is kept here"), room, whySize)
                       : std::vector<std::string>{};
    const float top = page.top - size - step * static_cast<float>(why.size());
    // The players' lines beside the list draw closer than its own as the words grow.
    const float playerStep = 0.085f + 0.045f * (scale - 1.0f), playerSize = 0.05f * scale;
    const RowLayout layout{glm::vec2(screens::menuPageLeft, top), step, 0.3f, size, 0.5f, page.lowest};
    const int shown = std::min(layout.fitting(), static_cast<int>(rows.size()));
    // Tall enough for the rows, and for six players beside them and the rules under them.
    const float bottom = top - std::max(step * static_cast<float>(shown), playerStep * 8.0f) - 0.04f;
    screens::addMenuPage(world, kit::tr("Replays"), help, bottom);
    for (std::size_t i = 0; i < why.size(); ++i)
        widgets::fitWithin(
            widgets::addText(world, why[i],
                             glm::vec2(screens::menuPageLeft, top + step * static_cast<float>(why.size() - i)), whySize,
                             glm::vec3(0.85f)),
            screens::menuPageRight);
    RowMenu* menu = addRowMenu(world, std::move(rows), layout, [world] { screens::switchTo(world, createMainMenu); });

    // The players of the chosen replay, to the right of the list.
    auto lines = std::make_shared<std::vector<kit::Text*>>();
    for (std::size_t i = 0; i < kit::replayFile::maxPlayers && i < 6; ++i) {
        lines->push_back(
            widgets::addText(world, "", glm::vec2(0.52f, top - playerStep * static_cast<float>(i)), playerSize));
        widgets::fitWithin(lines->back(), screens::menuPageRight);
    }
    // Under them, the pick-ups its match had.
    kit::Text* rules = widgets::addText(world, "", glm::vec2(0.52f, top - playerStep * 6.2f), 0.045f * scale,
                                        glm::vec3(0.75f, 0.8f, 0.9f));
    widgets::fitWithin(rules, screens::menuPageRight);
    world->emplaceComponent<kit::UpdateSignal>(
        world->createEntity(), [menu, found, lines, rules](kit::Component*, float) {
            const auto at = static_cast<std::size_t>(std::max(menu->selected, 0));
            const Listed* chosen = at < found->size() ? &(*found)[at] : nullptr;
            showPlayers(*lines, chosen);
            widgets::setText(rules, chosen && chosen->replay ? replayRulesLine(chosen->replay->header) : std::string());
        });
}

} // namespace skyscuffle
