#pragma once

#include <vector>

namespace skyscuffle::widgets {

// A plate's picture, `width` x `height` RGBA pixels, made at the shape it is
// drawn with so that its corners stay round: a translucent dark blue fill
// with a light rim, its outline antialiased over one pixel.
std::vector<unsigned char> platePixels(int width, int height);

} // namespace skyscuffle::widgets
