#include "PlayerColours.h"

const std::array<PlayerTextureInfo, 6>& playerColours()
{
    static const std::array<PlayerTextureInfo, 6> table{{
        {"Blue", "models/playerPlane/playerFinalTexture.png", "sprites/HUD/plane3.png", glm::vec3(0.3f, 0.6f, 0.8f)},
        {"Green", "models/playerPlane/player_texture_green.png", "sprites/HUD/plane2.png", glm::vec3(0.3f, 0.7f, 0.3f)},
        {"Orange", "models/playerPlane/player_texture_orange.png", "sprites/HUD/plane1.png", glm::vec3(0.8f, 0.5f, 0.1f)},
        {"Red", "models/playerPlane/player_texture_red.png", "sprites/HUD/plane6.png", glm::vec3(0.8f, 0.4f, 0.3f)},
        {"Pink", "models/playerPlane/player_texture_pink.png", "sprites/HUD/plane7.png", glm::vec3(0.8f, 0.4f, 0.5f)},
        {"Yellow", "models/playerPlane/player_texture_yellow.png", "sprites/HUD/plane5.png", glm::vec3(0.8f, 0.8f, 0.1f)},
    }};
    return table;
}
