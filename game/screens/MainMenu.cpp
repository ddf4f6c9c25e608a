#include "MainMenu.h"

#include "game/screens/Cursor.h"
#include "game/screens/Icon.h"
#include "game/screens/LoadingScreen.h"
#include "game/screens/ScreenScene.h"
#include "game/screens/ScreenSwitch.h"

#include "game/players/PlayerInfo.h"
#include "game/sound/SoundManager.h"

#include "engine/core/Log.h"
#include "engine/core/World.h"
#include "engine/render/Sprite.h"
#include "engine/resources/ResourceBucket.h"
#include "engine/resources/ResourceManagers.h"

namespace skyscuffle {

namespace {

const std::string folder = "sprites/menu/main/";
const glm::vec2 optionSize(0.35f, 0.1f);
const std::string background = folder + "menuBackground.png";
const char* const optionPictures[] = {"optionQuickPlay.png", "optionOnline.png",  "optionSound.png", "optionOptions.png",
                                     "optionReplays.png",   "optionCredits.png", "optionExit.png"};
// The Sound option's four pictures (see soundOption).
const char* const soundPictures[] = {"onon.png", "onoff.png", "offoff.png", "offon.png"};

// Players that another copy made: they belonged to the session that ended.
void dropRemotePlayers(kit::World* world)
{
    for (const kit::EntityHandle& e : world->getEntities(kit::typeId<PlayerInfo>())->toVector()) {
        if (!world->owns(e.id))
            world->destroyEntityNow(e);
    }
}

MenuOption option(kit::World* world, const std::string& picture, glm::vec2 position, const std::string& screen)
{
    screens::addPicture(world, folder + picture, position, optionSize);
    MenuOption o;
    o.switchesWorld = !screen.empty();
    o.worldName = screen;
    o.position = glm::vec3(position, 0.0f);
    o.size = optionSize;
    o.world = world;
    return o;
}

// The Sound option's picture beside the word: ON or OFF, the second word of
// each file name being the state in force while it shows (see Icon).
MenuOption soundOption(kit::World* world, glm::vec2 position)
{
    MenuOption o = option(world, optionPictures[2], position, "");
    const SoundManager* sounds = SoundManager::of(world);
    const bool on = !sounds || sounds->soundOn;
    std::vector<std::string> pictures =
        on ? std::vector<std::string>{soundPictures[0], soundPictures[1], soundPictures[2], soundPictures[3]}
           : std::vector<std::string>{soundPictures[1], soundPictures[0], soundPictures[3], soundPictures[2]};
    for (auto& picture : pictures)
        picture = folder + picture;
    // Each choice moves the picture two steps on: onon to offoff and back,
    // or onoff to offon and back.
    kit::Sprite* picture = screens::addPicture(world, pictures[0], glm::vec2(0.2f, position.y), glm::vec2(0.2f, 0.1f));
    world->emplaceComponent<Icon>(picture->getEntity(), pictures);
    o.cycles = true;
    o.togglesSound = true;
    o.states = {picture->getEntity()};
    return o;
}

} // namespace

void createMainMenu(kit::World* world)
{
    kit::log::info() << "Creating Main Menu";
    world->maxFrameRate = screens::stillScreenFrameRate;
    world->drawsOnChange = true; // nothing moves until the player does
    screens::endSession(world);
    dropRemotePlayers(world);

    screens::addOverlay(world, true);
    screens::addBackdrop(world, background);

    std::vector<MenuOption> options;
    // Seven lines within the backdrop's panel, 0.14 apart.
    const auto line = [](int i) { return 0.43f - 0.14f * static_cast<float>(i); };
    options.push_back(option(world, optionPictures[0], {0.0f, line(0)}, "game"));
    options.push_back(option(world, optionPictures[1], {0.0f, line(1)}, "online"));
    options.push_back(soundOption(world, {-0.1f, line(2)}));
    options.push_back(option(world, optionPictures[3], {0.0f, line(3)}, "options"));
    options.push_back(option(world, optionPictures[4], {0.0f, line(4)}, "replays"));
    options.push_back(option(world, optionPictures[5], {0.0f, line(5)}, "credits"));
    options.push_back(option(world, optionPictures[6], {0.0f, line(6)}, "exit"));

    std::vector<glm::vec2> positions;
    for (const MenuOption& o : options)
        positions.emplace_back(-0.3f, o.position.y + 0.09f);
    addMenuCursor(world, std::move(options), std::move(positions));

    requestBucket("buckets/mainMenuBackground.txt");
}

void prefetchMainMenu()
{
    kit::textureManager().prefetch(background);
    for (const char* picture : optionPictures)
        kit::textureManager().prefetch(folder + picture);
    for (const char* picture : soundPictures)
        kit::textureManager().prefetch(folder + picture);
    kit::textureManager().prefetch(menuCursorPicture);
    kit::shaderProgramManager().prefetch(kit::Sprite::program);
}

} // namespace skyscuffle
