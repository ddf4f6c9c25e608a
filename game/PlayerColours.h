#pragma once

#include "PlayerTextureInfo.h"

#include <array>

// The six player colours, in the join screen's table order: Blue, Green,
// Orange, Red, Pink, Yellow, each with its plane texture, HUD icon and RGB.
const std::array<PlayerTextureInfo, 6>& playerColours();
