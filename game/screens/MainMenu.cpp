#include "MainMenu.h"

#include "game/screens/LoadingScreen.h"
#include "game/screens/MainMenuLayout.h"
#include "game/screens/ScreenRegistry.h"
#include "game/screens/ScreenScene.h"
#include "game/screens/ScreenSwitch.h"

#include "game/looks/TextScale.h"
#include "game/players/PlayerInfo.h"
#include "game/sound/SoundManager.h"
#include "game/widgets/Icon.h"
#include "game/widgets/Overlay.h"
#include "game/widgets/PictureMenu.h"

#include "engine/core/Log.h"
#include "engine/core/Settings.h"
#include "engine/core/Translation.h"
#include "engine/core/World.h"
#include "engine/render/Sprite.h"
#include "engine/resources/ResourceBucket.h"
#include "engine/resources/ResourceManagers.h"

#include <algorithm>
#include <filesystem>

namespace skyscuffle {

namespace {

using namespace mainMenuLayout;

// Players that another copy made: they belonged to the session that ended.
void dropRemotePlayers(kit::World* world)
{
    for (const kit::EntityHandle& e : world->getEntities(kit::typeId<PlayerInfo>())->toVector()) {
        if (!world->owns(e.id))
            world->destroyEntityNow(e);
    }
}

// How much larger the words' pictures are drawn at the player's text size:
// as far as the panel painted into the backdrop holds them.
float pictureScale()
{
    return std::min(textScale(), 1.4f);
}

MenuOption option(kit::World* world, const std::string& picture, glm::vec2 position, const std::string& screen)
{
    const glm::vec2 size = optionSize * pictureScale();
    widgets::addPicture(world, localised(picture), position, size);
    MenuOption o;
    o.name = screen;
    if (!screen.empty())
        o.action = [world, screen] {
            kit::log::info() << "World Changed";
            screens::goToScreen(world, screen);
        };
    o.position = glm::vec3(position, 0.0f);
    o.size = size;
    o.world = world;
    return o;
}

// The Sound option's picture beside the word: ON or OFF, the second word of
// each file name being the state in force while it shows (see Icon).
MenuOption soundOption(kit::World* world, glm::vec2 position)
{
    MenuOption o = option(world, optionPictures[soundLine], position, "");
    const SoundManager* sounds = SoundManager::of(world);
    const bool on = !sounds || sounds->soundOn;
    std::vector<std::string> pictures =
        on ? std::vector<std::string>{soundPictures[0], soundPictures[1], soundPictures[2], soundPictures[3]}
           : std::vector<std::string>{soundPictures[1], soundPictures[0], soundPictures[3], soundPictures[2]};
    for (auto& picture : pictures)
        picture = localised(picture);
    // Each choice moves the picture two steps on: onon to offoff and back,
    // or onoff to offon and back.
    // (Larger, it moves right as far as the word grows.)
    const float grown = pictureScale() - 1.0f;
    kit::Sprite* picture = widgets::addPicture(world, pictures[0], glm::vec2(soundPictureX + 0.06f * grown, position.y),
                                               soundPictureSize * pictureScale());
    world->emplaceComponent<Icon>(picture->getEntity(), pictures);
    o.cycles = true;
    o.action = [world] {
        if (SoundManager* sounds = SoundManager::of(world))
            sounds->soundOn = !sounds->soundOn;
    };
    o.states = {picture->getEntity()};
    return o;
}

} // namespace

std::string mainMenuLayout::localised(const std::string& picture)
{
    const std::string& language = kit::currentLanguage();
    if (language != "en" && language != kit::pseudoLanguage) {
        const std::string own = folder + language + "/" + picture;
        std::error_code error;
        if (std::filesystem::is_regular_file(std::filesystem::path(kit::settings::assetDirectory()) / own, error))
            return own;
    }
    return folder + picture;
}

void createMainMenu(kit::World* world)
{
    kit::log::info() << "Creating Main Menu";
    world->maxFrameRate = screens::stillScreenFrameRate;
    world->drawsOnChange = true; // nothing moves until the player does
    screens::endSession(world);
    dropRemotePlayers(world);

    widgets::addOverlay(world, true);
    widgets::addBackdrop(world, background);

    const char* const leadsTo[] = {"game", "online", "", "options", "replays", "credits", "exit"};
    std::vector<MenuOption> options;
    // Larger pictures: the Sound word a little left, the cursor as far left as the words grow.
    const float grown = pictureScale() - 1.0f;
    for (int i = 0; i < optionCount; ++i) {
        const glm::vec2 at = optionAt(i) - glm::vec2(i == soundLine ? 0.05f * grown : 0.0f, 0.0f);
        options.push_back(i == soundLine ? soundOption(world, at) : option(world, optionPictures[i], at, leadsTo[i]));
    }

    std::vector<glm::vec2> positions;
    for (const MenuOption& o : options)
        positions.emplace_back(cursorX - optionSize.x * 0.5f * grown, o.position.y + cursorRaise);
    addPictureMenu(world, std::move(options), std::move(positions));

    requestBucket("buckets/mainMenuBackground.txt");
}

void prefetchMainMenu()
{
    kit::textureManager().prefetch(background);
    for (const char* picture : optionPictures)
        kit::textureManager().prefetch(localised(picture));
    for (const char* picture : soundPictures)
        kit::textureManager().prefetch(localised(picture));
    kit::textureManager().prefetch(menuCursorPicture);
    kit::shaderProgramManager().prefetch(kit::Sprite::program);
}

} // namespace skyscuffle
