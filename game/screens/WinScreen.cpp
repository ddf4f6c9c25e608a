#include "WinScreen.h"

#include "game/match/TeamMarks.h"

#include "game/screens/JoinScreen.h"
#include "game/screens/MainMenu.h"
#include "game/screens/ScreenFooter.h"
#include "game/screens/ScreenScene.h"
#include "game/screens/ScreenSwitch.h"

#include "game/combat/ScoreFunctions.h"
#include "game/looks/TextScale.h"
#include "game/players/PlayerInfo.h"
#include "game/players/PlayerShapes.h"
#include "game/replays/ClipRequest.h"
#include "game/replays/ReplayShelf.h"
#include "game/widgets/Overlay.h"
#include "game/widgets/Panel.h"
#include "game/widgets/Plate.h"
#include "game/widgets/TextFit.h"
#include "game/widgets/WidgetKeys.h"

#include "engine/core/Log.h"
#include "engine/core/Translation.h"
#include "engine/core/World.h"
#include "engine/input/JoystickManager.h"
#include "engine/input/Keys.h"
#include "engine/network/NetworkSystem.h"
#include "engine/render/Model.h"
#include "engine/render/Text.h"
#include "engine/resources/Material.h"
#include "engine/resources/ResourceManagers.h"

#include <algorithm>

namespace skyscuffle {

namespace {

// K keeps the replay of the match just played for good (see keepReplay).
void keepTheReplay(kit::Text* said)
{
    const std::optional<std::filesystem::path>& last = lastShelvedReplay();
    if (!last) {
        widgets::setText(said, kit::tr("This match has no replay to keep"));
        return;
    }
    if (const auto kept = keepReplay(*last, replayDirectory())) {
        kit::log::info() << "Replay kept as " << kept->filename().string();
        widgets::setText(said, kit::format(kit::tr("Replay kept: {1}"), {kept->stem().string()}));
    } else {
        widgets::setText(said, kit::tr("The replay could not be kept (see the console)"));
    }
}

// C draws a clip of the match's last 15 seconds (see requestClip).
void clipTheEnd(kit::Text* said)
{
    const std::optional<std::filesystem::path>& last = lastShelvedReplay();
    std::string error;
    const std::optional<kit::Replay> header = last ? kit::readReplayFile(last->string(), error, true) : std::nullopt;
    if (!header) {
        widgets::setText(said, kit::tr("This match has no replay to make a clip of"));
        return;
    }
    const float seconds = std::min(15.0f, header->header.seconds);
    if (const auto clip = requestClip(*last, header->header.seconds - seconds, seconds))
        widgets::setText(said, kit::format(kit::tr("Drawing a clip: {1}"), {clip->filename().string()}));
}

void listen(kit::World* world, kit::Text* said)
{
    if (world->keyboard)
        world->connections.emplace_back(world->keyboard->keyPressed.connect([world, said](kit::Keyboard::KeyInfo key) {
            if (widgets::isEnter(key))
                screens::switchTo(world, createJoinScreen);
            else if (key.key == kit::keys::escape)
                screens::switchTo(world, createMainMenu);
            else if (key.key == kit::keys::k)
                keepTheReplay(said);
            else if (key.key == kit::keys::c)
                clipTheEnd(said);
        }));
    if (world->joysticks)
        world->connections.emplace_back(
            world->joysticks->buttonPressed.connect([world](kit::Joystick::ButtonInfo button) {
                if (button.button == kit::pad::start || button.button == kit::pad::a)
                    screens::switchTo(world, createJoinScreen);
                else if (button.button == kit::pad::back)
                    screens::switchTo(world, createMainMenu);
            }));
}

// The winner's plane in its livery, turning above the table, with Scuff
// cheering beside it (11 units ahead, where 7.7 units are one overlay unit).
void showWinner(kit::World* world, const screens::Viewpoint& view, const PlayerInfo& winner)
{
    const auto table = screens::addTurntable(world, view.at(glm::vec3(-1.8f, 3.4f, -11.0f)), 0.7f,
                                             view.turn * glm::angleAxis(0.25f, glm::vec3(1, 0, 0)));
    kit::Model* plane =
        screens::addModel(world, "models/playerPlane/playerPlane.obj", "shaders/planeShader.txt",
                          "models/playerPlane/playerNormal.png", glm::vec3(0.0f), glm::quat(1, 0, 0, 0), 1.1f, table);
    plane->material->setTexture("diffuseTex", kit::textureManager().getHandle(winner.modelTexture));
    plane->material->setUniform("saturation", 0.25f);
    screens::addModel(world, "models/playerPlane/propellor.obj", "shaders/tanSpaceNormalMapping.txt", "",
                      glm::vec3(0.0f), glm::quat(1, 0, 0, 0), 1.1f, table);
    screens::addMascot(world, view.at(glm::vec3(4.4f, 3.0f, -11.0f)),
                       view.turn * glm::angleAxis(-0.5f, glm::vec3(0, 1, 0)), 0.9f);
}

} // namespace

const PlayerInfo* winnerOf(kit::World* world, const ScoreTable& scores)
{
    if (scores.empty())
        return nullptr;
    const auto best = std::max_element(scores.begin(), scores.end(), [](const ScoreEntry& a, const ScoreEntry& b) {
        return a.points < b.points; // the first of equal best, as the table lists them
    });
    return world->getComponent<PlayerInfo>(best->plane);
}

namespace {

// The table by points, highest first; equal points keep the match's order.
ScoreTable byPoints(const ScoreTable& scores)
{
    ScoreTable ordered = scores;
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const ScoreEntry& a, const ScoreEntry& b) { return a.points > b.points; });
    return ordered;
}

} // namespace

namespace {

// The players' lines, the first one crowned ("Green Wins!") or not.
std::vector<WinLine> playerLines(kit::World* world, const ScoreTable& scores, bool crowned)
{
    const ScoreTable ordered = byPoints(scores);
    std::vector<WinLine> lines;
    for (const ScoreEntry& entry : ordered) {
        const PlayerInfo* info = world->getComponent<PlayerInfo>(entry.plane);
        WinLine line;
        const char* name = info ? info->colourName.c_str() : kit::trLater("A player who left");
        line.text = kit::tr(name);
        line.logged = name;
        const auto add = [&line](const char* pattern) {
            line.text = kit::format(kit::tr(pattern), {line.text});
            line.logged = kit::format(pattern, {line.logged});
        };
        if (!world->owns(entry.plane))
            add(kit::trLater("{1} (remote)"));
        if (lines.empty() && crowned)
            add(kit::trLater("{1} Wins!"));
        line.points = rightAligned(entry.points, 3);
        if (info && lines.empty())
            line.colour = info->colour;
        if (info) {
            line.shape = shapeOfLivery(info->modelTexture);
            line.shapeColour = info->colour;
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

} // namespace

std::vector<WinLine> winLines(kit::World* world, const ScoreTable& scores)
{
    return playerLines(world, scores, true);
}

const PlayerInfo* shownWinnerOf(kit::World* world, const ScoreTable& scores, bool teams)
{
    if (!teams)
        return winnerOf(world, scores);
    const std::optional<Side> won = teamWinLines(world, scores).front().side;
    ScoreTable shown = scores;
    if (won)
        std::erase_if(shown, [&](const ScoreEntry& e) { return sideOf(*world, e.plane) != won; });
    return winnerOf(world, shown);
}

std::vector<WinLine> teamWinLines(kit::World* world, const ScoreTable& scores)
{
    const std::array<int, sideCount> points = sidePoints(*world, scores);
    WinLine head;
    head.points = std::to_string(points[0]) + " : " + std::to_string(points[1]);
    if (points[0] == points[1]) {
        head.text = kit::tr("A draw");
        head.logged = "A draw";
    } else {
        const Side won = points[0] > points[1] ? Side::sun : Side::moon;
        head.logged = won == Side::sun ? kit::trLater("Sun team wins!") : kit::trLater("Moon team wins!");
        head.text = kit::tr(head.logged.c_str());
        head.colour = tintOf(won);
        head.side = won;
    }
    std::vector<WinLine> lines{head};
    for (WinLine line : playerLines(world, scores, false)) {
        line.colour = glm::vec3(1.0f);
        lines.push_back(std::move(line));
    }
    // The players' sides, in the order winLines gave them.
    const ScoreTable ordered = byPoints(scores);
    for (std::size_t i = 0; i < ordered.size(); ++i)
        lines[i + 1].side = sideOf(*world, ordered[i].plane);
    return lines;
}

std::string watchersLine(kit::World* world, bool watchedHere, std::size_t watchedElsewhere, bool translated)
{
    std::vector<std::string> parts;
    if (watchedHere) {
        std::string own;
        std::vector<kit::EntityHandle> players = world->getEntities(kit::typeId<PlayerInfo>())->toVector();
        std::sort(players.begin(), players.end(), [](const auto& a, const auto& b) { return a.id < b.id; });
        for (const kit::EntityHandle& player : players) {
            const PlayerInfo* info = world->getComponent<PlayerInfo>(player.id);
            if (world->owns(player.id) && info)
                own += (own.empty() ? "" : ", ") + kit::tr(info->colourName.c_str(), translated);
        }
        parts.push_back(own.empty() ? kit::tr("this copy", translated) : own);
    }
    if (watchedElsewhere > 0) {
        const auto count = static_cast<unsigned long>(watchedElsewhere);
        parts.push_back(kit::format(parts.empty() ? kit::trn("{1} copy", "{1} copies", count, translated)
                                                  : kit::trn("{1} other copy", "{1} other copies", count, translated),
                                    {std::to_string(watchedElsewhere)}));
    }
    if (parts.empty())
        return {};
    return parts.size() > 1 ? kit::format(kit::tr("Watching: {1} and {2}", translated), {parts.front(), parts.back()})
                            : kit::format(kit::tr("Watching: {1}", translated), {parts.front()});
}

void WinScreenInit::operator()(kit::World* world) const
{
    world->maxFrameRate = screens::movingScreenFrameRate;
    kit::log::info() << "Creating Win Screen";
    if (kit::NetworkSystem* network = kit::NetworkSystem::of(world))
        network->screenName = "winScreen";

    const screens::Viewpoint view = screens::addLandscape(world);
    widgets::addOverlay(world, false);
    const std::vector<WinLine> lines = teams ? teamWinLines(world, scores) : winLines(world, scores);
    // The table on the console too: the log of a match ends with its result.
    for (const WinLine& line : lines)
        kit::log::info() << line.logged << " " << line.points;
    if (const PlayerInfo* winner = shownWinnerOf(world, scores, teams))
        showWinner(world, view, *winner);

    // The table: every player's label on the left, the points right-aligned
    // on the right, the winner's line first, larger and in its colour. At a
    // larger text size it is wider, and higher where it would reach the
    // line about the replay over the footer.
    const float scale = textScale();
    const float width = std::min(1.7f * (1.0f + 0.5f * (scale - 1.0f)), 2.6f);
    const float left = -width * 0.5f + 0.1f + 0.1f * (scale - 1.0f); // room for a side's badge
    const float right = width * 0.5f - 0.1f;
    const float winnerSize = 0.1f * scale, rowSize = 0.07f * scale, watchersSize = 0.05f * scale;
    const float winnerStep = std::max(0.13f, 1.2f * winnerSize), rowStep = std::max(0.1f, 1.2f * rowSize);
    const std::size_t rows = std::max<std::size_t>(lines.size(), 1);
    // Who watched, under the table: broken into lines where it is long.
    const std::vector<std::string> watchers =
        watchersLine(world, watchedHere, watchedElsewhere).empty()
            ? std::vector<std::string>{}
            : widgets::wrapWords(watchersLine(world, watchedHere, watchedElsewhere),
                                 width * 0.5f - widgets::panelMargin - left, watchersSize);
    const float watchersTall =
        watchers.empty() ? 0.0f : 0.07f * scale + watchersSize * static_cast<float>(watchers.size() - 1);
    // From the plate's top edge (the caption's strip aside) down to its bottom.
    const float tall = 0.02f + winnerSize + (rows > 1 ? winnerStep + rowStep * static_cast<float>(rows - 2) : 0.03f) +
                       0.09f + watchersTall;
    // The line about the replay, just over the footer.
    const float sayY = screens::footerTop() + 0.06f;
    const float lowest = sayY + 0.045f * scale + 0.03f;
    // A match of rounds says over the points what they count, in a strip
    // added at the plate's top.
    const bool caption = rounds && !lines.empty();
    const float strip = caption ? 0.06f * scale : 0.0f;
    const float plateTop = std::min(std::max(0.18f, lowest + tall), 0.97f - strip);
    widgets::addPlate(world, glm::vec2(0.0f, plateTop + (strip - tall) * 0.5f), glm::vec2(width, tall + strip));
    float y = plateTop - 0.02f - winnerSize;
    if (caption) {
        const std::string words = kit::tr("rounds won");
        const float size = 0.045f * scale, advance = widgets::glyphAdvance(size);
        widgets::addText(world, words, glm::vec2(right - advance * static_cast<float>(words.size() + 1), plateTop),
                         size, glm::vec3(0.85f));
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const float size = i == 0 ? winnerSize : rowSize;
        const float advance = widgets::glyphAdvance(size);
        // Its colour as bright as it goes: the RGB of the darker rows reads poorly on the panel.
        const glm::vec3 colour = i == 0 && !teams ? widgets::vivid(lines[i].colour) : lines[i].colour;
        // A player's line starts with its shape, in its colour whatever the line's.
        const bool player = !teams || i > 0;
        if (lines[i].shape)
            widgets::addText(world, std::string{glyphOf(*lines[i].shape)}, glm::vec2(left, y), size,
                             widgets::vivid(lines[i].shapeColour));
        const float pointsLeft = right - advance * static_cast<float>(lines[i].points.size() + 1);
        widgets::fitWithin(
            widgets::addText(world, lines[i].text, glm::vec2(left + (player ? 2.0f * advance : 0.0f), y), size, colour),
            pointsLeft);
        if (lines[i].side)
            widgets::addPicture(world, badgeOf(*lines[i].side), glm::vec2(left - 0.07f * scale, y + size * 0.4f),
                                glm::vec2(size * 0.95f));
        const float pointsWidth = advance * static_cast<float>(lines[i].points.size());
        widgets::addText(world, lines[i].points, glm::vec2(right - pointsWidth - advance, y), size, colour);
        y -= i == 0 ? winnerStep : rowStep;
    }
    if (lines.empty())
        widgets::fitWithin(widgets::addText(world, kit::tr("Nobody flew this round"), glm::vec2(left, y), rowSize),
                           right);
    // Who watched, at the foot of the plate.
    if (!watchers.empty()) {
        kit::log::info() << watchersLine(world, watchedHere, watchedElsewhere, false);
        std::string broken;
        for (const std::string& line : watchers)
            broken += (broken.empty() ? "" : "\n") + line;
        const float y = plateTop - tall + 0.04f + watchersSize * static_cast<float>(watchers.size() - 1);
        widgets::fitWithin(widgets::addText(world, broken, glm::vec2(left, y), watchersSize, glm::vec3(0.85f)),
                           width * 0.5f - widgets::panelMargin);
    }

    screens::addContinueFooter(world, 0.0f, 1.1f, kit::tr("Press Enter to continue"));
    // The replay of the match, kept for good at K.
    kit::Text* said = widgets::addText(
        world, lastShelvedReplay() ? kit::tr("K keeps this match's replay, C makes a clip of its end") : "",
        glm::vec2(scale > 1.0f ? -1.25f : -0.75f, sayY), 0.045f * scale, glm::vec3(0.85f));
    widgets::fitWithin(said, 1.3f);
    listen(world, said);
}

} // namespace skyscuffle
