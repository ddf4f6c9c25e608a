#include "DrawBatcher.h"

namespace kit {

bool DrawBatcher::passes(const DrawItem& item, const Open& batch) const
{
    // Additive over additive commutes anywhere; anything else only apart.
    if (item.additive)
        return !item.footprint.overlaps(batch.blended);
    return !item.footprint.overlaps(batch.all);
}

std::span<const DrawBatcher::Batch> DrawBatcher::group(const std::vector<DrawItem>& items, bool reorder)
{
    used_ = 0;
    open_.clear();
    for (std::size_t i = 0; i < items.size(); ++i) {
        const DrawItem& item = items[i];
        std::size_t target = used_; // none yet
        if (item.instanced) {
            // The latest batch of the same key that the item can reach by
            // passing over the ones after it; without reordering, the last.
            for (std::size_t b = used_; b-- > 0;) {
                const DrawItem& opener = items[open_[b].first];
                if (opener.priority != item.priority)
                    break;
                if (item.sharesDrawWith(opener)) {
                    target = b;
                    break;
                }
                if (!reorder || !passes(item, open_[b]))
                    break;
            }
        }
        if (target == used_) {
            if (batches_.size() <= used_)
                batches_.emplace_back();
            batches_[used_].clear();
            open_.push_back(Open{i, ScreenRect{}, ScreenRect{}});
            ++used_;
        }
        batches_[target].push_back(i);
        Open& batch = open_[target];
        batch.all.unite(item.footprint);
        if (!item.additive || !item.instanced)
            batch.blended.unite(item.footprint);
    }
    return {batches_.data(), used_};
}

} // namespace kit
