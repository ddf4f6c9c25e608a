#include "Plate.h"
#include "PlatePixels.h"

#include "engine/core/Tags.h"
#include "engine/core/World.h"
#include "engine/render/Sprite.h"
#include "engine/resources/ResourceHandle.h"
#include "engine/resources/Texture.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <vector>

namespace skyscuffle {

namespace widgets {
namespace {

// A picture made here rather than read from a file: its handle counts as
// loaded from the start.
kit::ResourceHandle<kit::Texture> madeTexture(std::shared_ptr<kit::Texture> made)
{
    static const std::atomic<bool> done{false};
    return kit::ResourceHandle<kit::Texture>{std::move(made), &done};
}

// The plate's picture at the shape it is drawn with (see platePixels).
std::shared_ptr<kit::Texture> plateTexture(int width, int height)
{
    const std::vector<unsigned char> pixels = platePixels(width, height);
    auto texture = std::make_shared<kit::Texture>();
    texture->upload(pixels.data(), static_cast<unsigned>(width), static_cast<unsigned>(height));
    return texture;
}

} // namespace

kit::Sprite* addPlate(kit::World* world, glm::vec2 position, glm::vec2 size, float layer)
{
    // About the pixels it covers on a 1080-line screen.
    const int height = std::clamp(static_cast<int>(size.y * 540.0f), 16, 1024);
    const int width = std::clamp(static_cast<int>(static_cast<float>(height) * size.x / size.y), 16, 2048);
    const kit::EntityHandle e = overlayEntity(world, glm::vec3(position, 0.0f));
    auto* plate =
        world->emplaceComponent<kit::Sprite>(e, madeTexture(plateTexture(width, height)), size.x, size.y, layer, true);
    plate->addTag(kit::tagId(plateTag));
    return plate;
}

} // namespace widgets

} // namespace skyscuffle
