#include "OffscreenView.h"

#include "engine/core/World.h"
#include "engine/resources/AsyncResourceManagerBase.h"

#include <GL/glew.h>

#include <algorithm>

namespace gallery {

SheetImage OffscreenView::render(kit::World& world, int width, int height, int frames, float dt)
{
    glViewport(0, 0, width, height);
    for (int i = 0; i < frames; ++i)
        world.update(dt);
    world.render(dt);
    glFinish();
    SheetImage image(width, height);
    std::vector<unsigned char> rows(image.pixels.size());
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rows.data());
    const std::size_t stride = static_cast<std::size_t>(width) * 4;
    for (int y = 0; y < height; ++y)
        std::copy_n(&rows[static_cast<std::size_t>(y) * stride], stride,
                    &image.pixels[static_cast<std::size_t>(height - 1 - y) * stride]);
    for (std::size_t i = 3; i < image.pixels.size(); i += 4)
        image.pixels[i] = 255;
    return image;
}

} // namespace gallery
