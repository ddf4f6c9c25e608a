#pragma once

#include <string>

namespace gallery {

// Each writes its PNG contact sheet(s) into `directory` and prints their names.
void modelSheet(const std::string& directory);
void planeSheet(const std::string& directory);
void spriteSheet(const std::string& directory);
void stageViews(const std::string& directory);
void screenMockups(const std::string& directory);

class SheetImage;
// Writes stem-grey.png, stem-deuteranopia.png and stem-protanopia.png: the
// picture as players with those kinds of colour vision see it.
void saveColourVisionChecks(const SheetImage& picture, const std::string& stem);

} // namespace gallery
