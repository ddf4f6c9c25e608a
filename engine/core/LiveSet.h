#pragma once

#include <algorithm>
#include <cstddef>
#include <set>
#include <vector>

namespace kit {

// An ordered set whose iterations survive removals. Every live iterator is
// registered with its set; when an element is erased, each iterator standing on
// it is moved to the next element and marked as advanced, so that its next
// increment only clears the mark. Elements inserted after an iterator's
// position are visited by it; elements inserted before are not.
//
// Compare must be a strict total order over the elements for as long as they
// are in the set.
template <class T, class Compare>
class LiveSet {
    using Container = std::set<T, Compare>;

public:
    struct Sentinel {};

    class Iterator {
    public:
        Iterator(LiveSet* owner, typename Container::iterator position) : owner_(owner), position_(position)
        {
            owner_->live_.push_back(this);
        }
        Iterator(const Iterator& other) : owner_(other.owner_), position_(other.position_), advanced_(other.advanced_)
        {
            owner_->live_.push_back(this);
        }
        Iterator& operator=(const Iterator& other)
        {
            if (this != &other) {
                unregister();
                owner_ = other.owner_;
                position_ = other.position_;
                advanced_ = other.advanced_;
                owner_->live_.push_back(this);
            }
            return *this;
        }
        ~Iterator() { unregister(); }

        // By value: the element may be erased while the caller still uses it.
        T operator*() const { return *position_; }

        Iterator& operator++()
        {
            if (advanced_)
                advanced_ = false;
            else
                ++position_;
            return *this;
        }

        bool operator==(Sentinel) const { return position_ == owner_->items_.end(); }
        bool operator==(const Iterator& other) const { return position_ == other.position_; }

    private:
        friend class LiveSet;

        void unregister()
        {
            auto& live = owner_->live_;
            if (auto found = std::find(live.rbegin(), live.rend(), this); found != live.rend()) {
                *found = live.back();
                live.pop_back();
            }
        }

        LiveSet* owner_;
        typename Container::iterator position_;
        bool advanced_ = false;
    };

    LiveSet() = default;
    LiveSet(const LiveSet&) = delete;
    LiveSet& operator=(const LiveSet&) = delete;

    [[nodiscard]] Iterator begin() { return Iterator(this, items_.begin()); }
    [[nodiscard]] Sentinel end() const { return {}; }

    bool insert(const T& value) { return items_.insert(value).second; }

    bool erase(const T& value)
    {
        auto victim = items_.find(value);
        if (victim == items_.end()) {
            // An element whose ordering key changed while it was in the set can
            // no longer be found by the tree; look for it by identity instead.
            victim = std::find(items_.begin(), items_.end(), value);
            if (victim == items_.end())
                return false;
        }
        auto next = std::next(victim);
        for (Iterator* it : live_) {
            if (it->position_ == victim) {
                it->position_ = next;
                it->advanced_ = true;
            }
        }
        items_.erase(victim);
        return true;
    }

    [[nodiscard]] bool contains(const T& value) const { return items_.find(value) != items_.end(); }
    [[nodiscard]] std::size_t size() const { return items_.size(); }
    [[nodiscard]] bool empty() const { return items_.empty(); }

    // The elements in order, for callers that want a plain copy.
    [[nodiscard]] std::vector<T> toVector() const { return std::vector<T>(items_.begin(), items_.end()); }

    [[nodiscard]] const T* first() const { return items_.empty() ? nullptr : &*items_.begin(); }

private:
    Container items_;
    std::vector<Iterator*> live_;
};

} // namespace kit
