#pragma once

#include <string>

namespace gallery {

// Each writes its PNG contact sheet(s) into `directory` and prints their names.
void modelSheet(const std::string& directory);
void planeSheet(const std::string& directory);
void spriteSheet(const std::string& directory);
void stageViews(const std::string& directory);
void screenMockups(const std::string& directory);

} // namespace gallery
