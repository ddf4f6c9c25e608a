#include "WinScreen.h"

#include "JoinScreen.h"
#include "MainMenu.h"
#include "ScreenKeys.h"
#include "ScreenScene.h"
#include "ScreenSwitch.h"

#include "game/PlayerInfo.h"
#include "game/combat/ScoreFunctions.h"

#include "engine/core/World.h"
#include "engine/input/JoystickManager.h"
#include "engine/input/Keys.h"
#include "engine/network/NetworkSystem.h"

#include <algorithm>
#include <iostream>

namespace {

constexpr int buttonA = 0;
constexpr int buttonBack = 8;
constexpr int buttonStart = 9;

void listen(kit::World* world)
{
    if (world->keyboard)
        world->connections.emplace_back(world->keyboard->keyPressed.connect([world](kit::Keyboard::KeyInfo key) {
            if (screens::isEnter(key))
                screens::switchTo(world, createJoinScreen);
            else if (key.key == kit::keys::escape)
                screens::switchTo(world, createMainMenu);
        }));
    if (world->joysticks)
        world->connections.emplace_back(
            world->joysticks->buttonPressed.connect([world](kit::Joystick::ButtonInfo button) {
                if (button.button == buttonStart || button.button == buttonA)
                    screens::switchTo(world, createJoinScreen);
                else if (button.button == buttonBack)
                    screens::switchTo(world, createMainMenu);
            }));
}

} // namespace

std::vector<WinLine> winLines(kit::World* world, const ScoreTable& scores)
{
    ScoreTable ordered = scores;
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const ScoreEntry& a, const ScoreEntry& b) { return a.points > b.points; });
    std::vector<WinLine> lines;
    for (const ScoreEntry& entry : ordered) {
        const PlayerInfo* info = world->getComponent<PlayerInfo>(entry.plane);
        WinLine line;
        line.text = info ? info->colourName : std::string("A player who left");
        if (!world->owns(entry.plane))
            line.text += " (remote)";
        if (lines.empty())
            line.text += " Wins!";
        line.points = rightAligned(entry.points, 3);
        if (info && lines.empty())
            line.colour = info->colour;
        lines.push_back(std::move(line));
    }
    return lines;
}

void WinScreenInit::operator()(kit::World* world) const
{
    std::cout << "Creating Win Screen"
              << "\n";
    if (kit::NetworkSystem* network = kit::NetworkSystem::of(world))
        network->screenName = "winScreen";

    screens::addOverlay(world, true);
    screens::addBackdrop(world, "sprites/menu/main/menuBackground.png");
    const std::vector<WinLine> lines = winLines(world, scores);
    // ... drawn in the title picture's panel
    float y = 0.3f;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const float size = i == 0 ? 0.09f : 0.07f;
        screens::addText(world, lines[i].text, glm::vec2(-0.5f, y), size, lines[i].colour);
        screens::addText(world, lines[i].points, glm::vec2(0.5f - 4 * screens::glyphAdvance(size), y), size,
                         lines[i].colour);
        y -= i == 0 ? 0.15f : 0.1f;
    }
    if (lines.empty())
        screens::addText(world, "Nobody flew this round", glm::vec2(-0.5f, y), 0.07f);
    screens::addText(world, "Press Enter to continue", glm::vec2(-0.5f, -0.8f), 0.07f);
    listen(world);
}
