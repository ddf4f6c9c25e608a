#include "OffscreenView.h"
#include "SceneKit.h"
#include "Sheets.h"

#include "engine/core/World.h"
#include "engine/resources/ResourceManagers.h"
#include "engine/resources/Texture.h"

#include <algorithm>
#include <filesystem>

namespace gallery {
namespace {

constexpr int spriteTile = 256;

// Every PNG under the folders, sorted by path, relative to assets/.
std::vector<std::string> picturesUnder(std::initializer_list<const char*> folders)
{
    std::vector<std::string> paths;
    for (const char* folder : folders) {
        const std::filesystem::path root = std::filesystem::path("assets") / folder;
        if (!std::filesystem::exists(root))
            continue;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
            if (entry.path().extension() == ".png")
                paths.push_back(std::filesystem::relative(entry.path(), "assets").string());
        }
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

SheetImage drawPicture(const std::string& path, const std::string& checker)
{
    auto world = makeWorld(glm::vec3(0.2f));
    overlayCamera(*world, 1.0f);
    sprite(*world, placed(*world, glm::vec3(0, 0.06f, 0), "hudSpace"), checker, 1.8f, 1.8f);
    const auto texture = kit::textureManager().get(path);
    const float w = std::max(texture->width, 1.0f), h = std::max(texture->height, 1.0f);
    const float fit = 1.7f / std::max(w, h);
    sprite(*world, placed(*world, glm::vec3(0, 0.06f, 0.1f), "hudSpace"), path, w * fit, h * fit);
    std::string label = path.substr(path.find('/') + 1);
    char size[32];
    std::snprintf(size, sizeof size, " %dx%d", static_cast<int>(w), static_cast<int>(h));
    text(*world, label.size() > 24 ? label.substr(label.size() - 24) : label, glm::vec3(-1.05f, -1.0f, 0.2f), 0.075f,
         glm::vec3(1.0f, 1.0f, 0.8f));
    text(*world, size, glm::vec3(0.3f, 0.88f, 0.2f), 0.07f, glm::vec3(0.8f, 0.9f, 1.0f));
    return OffscreenView::render(*world, spriteTile, spriteTile);
}

void sheetOf(const std::vector<std::string>& paths, const std::string& checker, const std::string& file)
{
    const int columns = 6;
    const int rows = static_cast<int>((paths.size() + columns - 1) / columns);
    SheetImage sheet(columns * spriteTile, std::max(rows, 1) * spriteTile);
    for (std::size_t i = 0; i < paths.size(); ++i)
        sheet.blit(drawPicture(paths[i], checker), static_cast<int>(i % columns) * spriteTile,
                   static_cast<int>(i / columns) * spriteTile);
    sheet.save(file);
}

} // namespace

void spriteSheet(const std::string& directory)
{
    // A checkerboard behind every picture shows its transparency.
    const std::string checkerPath = checkerTexture();

    sheetOf(picturesUnder({"images"}), checkerPath, directory + "/images.png");
    sheetOf(picturesUnder({"sprites"}), checkerPath, directory + "/sprites.png");
    sheetOf(picturesUnder({"models"}), checkerPath, directory + "/textures.png");
}

} // namespace gallery
