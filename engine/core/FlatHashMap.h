#pragma once

#include <cstddef>
#include <utility>
#include <vector>

namespace kit {

// An open-addressing hash map (linear probing, power-of-two capacity, at most
// half full, deletion by backward shift). It keeps keys and values in one
// array, so a look-up usually touches one cache line: the world's component
// index, asked thousands of times a frame, lives in one.
//
// Pointers to values stay valid only until the next insertion or erasure.
// Hash must spread its bits: the low bits pick the slot.
template <class Key, class Value, class Hash>
class FlatHashMap {
public:
    [[nodiscard]] Value* find(const Key& key)
    {
        if (size_ == 0)
            return nullptr;
        for (std::size_t i = home(key);; i = (i + 1) & mask_) {
            Slot& slot = slots_[i];
            if (!slot.used)
                return nullptr;
            if (slot.key == key)
                return &slot.value;
        }
    }
    [[nodiscard]] const Value* find(const Key& key) const { return const_cast<FlatHashMap*>(this)->find(key); }

    // The value of key, default-constructed if it was missing.
    Value& operator[](const Key& key)
    {
        if ((size_ + 1) * 2 > slots_.size())
            grow();
        std::size_t i = home(key);
        for (; slots_[i].used; i = (i + 1) & mask_) {
            if (slots_[i].key == key)
                return slots_[i].value;
        }
        slots_[i].used = true;
        slots_[i].key = key;
        slots_[i].value = Value();
        ++size_;
        return slots_[i].value;
    }

    bool erase(const Key& key)
    {
        if (size_ == 0)
            return false;
        std::size_t hole = home(key);
        for (; slots_[hole].used; hole = (hole + 1) & mask_) {
            if (slots_[hole].key == key)
                break;
        }
        if (!slots_[hole].used)
            return false;
        // Pull later members of the probe run back into the hole, unless that
        // would move them before their home slot.
        for (std::size_t next = (hole + 1) & mask_; slots_[next].used; next = (next + 1) & mask_) {
            const std::size_t wanted = home(slots_[next].key);
            const bool wantedAfterHole = ((next - wanted) & mask_) >= ((next - hole) & mask_);
            if (wantedAfterHole) {
                slots_[hole] = std::move(slots_[next]);
                hole = next;
            }
        }
        slots_[hole].used = false;
        slots_[hole].value = Value();
        --size_;
        return true;
    }

    [[nodiscard]] std::size_t size() const { return size_; }
    [[nodiscard]] bool empty() const { return size_ == 0; }

private:
    struct Slot {
        Key key{};
        Value value{};
        bool used = false;
    };

    [[nodiscard]] std::size_t home(const Key& key) const { return Hash{}(key) & mask_; }

    void grow()
    {
        std::vector<Slot> old = std::move(slots_);
        slots_.clear();
        slots_.resize(old.empty() ? 16 : old.size() * 2);
        mask_ = slots_.size() - 1;
        for (Slot& slot : old) {
            if (!slot.used)
                continue;
            std::size_t i = home(slot.key);
            while (slots_[i].used)
                i = (i + 1) & mask_;
            slots_[i] = std::move(slot);
        }
    }

    std::vector<Slot> slots_;
    std::size_t size_ = 0;
    std::size_t mask_ = 0;
};

} // namespace kit
