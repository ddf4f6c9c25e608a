#pragma once

#include "engine/core/Translation.h"

#include <glm/vec2.hpp>

#include <string>

namespace skyscuffle {

// Where the main menu puts its pictures over the title picture, for the menu
// itself and for the pictures of it drawn elsewhere (the art gallery).
namespace mainMenuLayout {

inline const std::string folder = "sprites/menu/main/";
inline const std::string background = folder + "menuBackground.png";
inline constexpr const char* optionPictures[] = {"optionQuickPlay.png", "optionOnline.png",  "optionSound.png",
                                                 "optionOptions.png",   "optionReplays.png", "optionCredits.png",
                                                 "optionExit.png"};
inline constexpr int optionCount = 7;
// The words each option's picture shows, for the catalogs: the art tools
// paint every language's pictures from its translations of them.
inline constexpr const char* optionWords[] = {
    kit::trLater("QUICK PLAY"), kit::trLater("ONLINE"),  kit::trLater("SOUND"), kit::trLater("OPTIONS"),
    kit::trLater("REPLAYS"),    kit::trLater("CREDITS"), kit::trLater("EXIT")};
// The words of the Sound option's state pictures.
inline constexpr const char* soundWords[] = {kit::trLater("ON"), kit::trLater("OFF")};
inline constexpr int soundLine = 2; // its word stands left, its ON or OFF picture right
// The Sound option's four pictures (see the main menu).
inline constexpr const char* soundPictures[] = {"onon.png", "onoff.png", "offoff.png", "offon.png"};

inline const glm::vec2 optionSize(0.35f, 0.1f);
inline const glm::vec2 soundPictureSize(0.2f, 0.1f);
inline constexpr float soundPictureX = 0.2f;
// The cursor's place left of every option (its picture hangs level with the option).
inline constexpr float cursorX = -0.3f;

// A picture of the menu in the language in force: its own language's copy
// (folder/<code>/picture) where the data has one, else the English one.
[[nodiscard]] std::string localised(const std::string& picture);

// The middle of option `i`'s picture: seven lines within the backdrop's panel, 0.14 apart.
[[nodiscard]] inline glm::vec2 optionAt(int i)
{
    return {i == soundLine ? -0.1f : 0.0f, 0.43f - 0.14f * static_cast<float>(i)};
}

} // namespace mainMenuLayout

} // namespace skyscuffle
