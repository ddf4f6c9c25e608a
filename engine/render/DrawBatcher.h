#pragma once

#include "DrawItem.h"

#include <cstddef>
#include <span>
#include <vector>

namespace kit {

// Puts the draws of one renderer pass into batches, each of which one
// instanced draw can draw, and orders the batches, so that drawing them
// gives exactly the picture that drawing the items one by one in their
// given order gives:
// - the items of a batch share mesh buffer, material, blend factors and
//   culling (DrawItem::sharesDrawWith) and keep their given order inside it;
// - without reordering only neighbours join a batch;
// - with reordering an item may join an earlier batch of its own render
//   priority, passing over the batches after it, when it commutes with
//   every item of those: two additive draws always do (a sum saturating in
//   the framebuffer is the same sum in any order; the depth buffer does not
//   change while blending), and so do any two draws whose screen rectangles
//   are apart. Items that cannot be batched stay where they are and are
//   passed over only by items whose rectangle is apart from theirs.
// No OpenGL here: the renderer draws what this returns.
class DrawBatcher {
public:
    using Batch = std::vector<std::size_t>; // indices into the items, in drawing order

    // The batches of the items, in drawing order. Valid until the next call.
    std::span<const Batch> group(const std::vector<DrawItem>& items, bool reorder);

private:
    struct Open {
        std::size_t first = 0; // the item that opened it (its key and priority)
        ScreenRect all;        // every item's rectangle
        ScreenRect blended;    // the rectangles of its items that are not additive
    };

    [[nodiscard]] bool passes(const DrawItem& item, const Open& batch) const;

    std::vector<Batch> batches_; // the first used_ are this call's; all keep their capacity
    std::vector<Open> open_;
    std::size_t used_ = 0;
};

} // namespace kit
