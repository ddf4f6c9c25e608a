#include "CallReplay.h"

#include <algorithm>
#include <iostream>

namespace kit {
namespace {

// FNV-1a over the batch's bytes.
std::uint64_t digestOf(const std::uint8_t* data, std::size_t size)
{
    std::uint64_t h = 0xCBF29CE484222325ull;
    for (std::size_t i = 0; i < size; ++i) {
        h ^= data[i];
        h *= 0x100000001B3ull;
    }
    return h;
}

} // namespace

void CallReplay::remember(std::uint64_t digest, float now)
{
    if (ran_.size() >= maxRemembered) {
        auto count = runs_.find(ran_.front().digest);
        if (count != runs_.end() && --count->second == 0)
            runs_.erase(count);
        ran_.pop_front();
    }
    ran_.push_back(Ran{now, digest});
    ++runs_[digest];
}

void CallReplay::dropOldest()
{
    recentBytes_ -= recent_.front().bytes.size();
    recent_.pop_front();
}

void CallReplay::keepRecent(float now, Bytes bytes)
{
    while (!recent_.empty() && (recent_.size() >= maxKept || recentBytes_ + bytes.size() > maxKeptBytes))
        dropOldest();
    recentBytes_ += bytes.size();
    recent_.push_back(Kept{now, std::move(bytes)});
}

void CallReplay::made(const std::uint8_t* data, std::size_t size, float now)
{
    remember(digestOf(data, size), now); // it ran here as it was made
    Bytes bytes(data, data + size);
    if (holding_)
        keep(bytes);
    keepRecent(now, std::move(bytes));
}

void CallReplay::heard(const std::uint8_t* data, std::size_t size, float now)
{
    remember(digestOf(data, size), now);
    keepRecent(now, Bytes(data, data + size));
}

std::vector<bool> CallReplay::unseen(const std::vector<Bytes>& batches, float now)
{
    std::vector<bool> fresh;
    fresh.reserve(batches.size());
    std::unordered_map<std::uint64_t, std::size_t> inThisReplay;
    for (const Bytes& batch : batches) {
        const std::uint64_t digest = digestOf(batch.data(), batch.size());
        const std::size_t nth = ++inThisReplay[digest];
        const auto count = runs_.find(digest);
        const bool isNew = nth > (count == runs_.end() ? 0 : count->second);
        if (isNew)
            remember(digest, now);
        fresh.push_back(isNew);
    }
    return fresh;
}

void CallReplay::hold(float from)
{
    held_.clear();
    heldBytes_ = 0;
    holding_ = true;
    overflowTold_ = false;
    for (const Kept& m : recent_) {
        if (m.at >= from)
            keep(m.bytes);
    }
}

void CallReplay::keep(const Bytes& batch)
{
    if (!holding_)
        return;
    if (heldBytes_ + batch.size() > maxHeldBytes) {
        if (!overflowTold_)
            std::cerr << "Too many calls to hand on to the next host: the latest are kept\n";
        overflowTold_ = true;
        // The oldest go first: they are the likeliest to have arrived anyway.
        std::size_t drop = 0;
        while (drop < held_.size() && heldBytes_ + batch.size() > maxHeldBytes)
            heldBytes_ -= held_[drop++].size();
        held_.erase(held_.begin(), held_.begin() + static_cast<std::ptrdiff_t>(drop));
        if (heldBytes_ + batch.size() > maxHeldBytes)
            return; // a batch larger than the bound on its own
    }
    heldBytes_ += batch.size();
    held_.push_back(batch);
}

void CallReplay::release()
{
    holding_ = false;
    held_.clear();
    heldBytes_ = 0;
}

void CallReplay::age(float now, float keepSince)
{
    const float cut = std::min(now - keptSeconds, keepSince);
    while (!recent_.empty() && recent_.front().at < cut)
        dropOldest();
    while (!ran_.empty() && now - ran_.front().at > rememberedSeconds) {
        auto count = runs_.find(ran_.front().digest);
        if (count != runs_.end() && --count->second == 0)
            runs_.erase(count);
        ran_.pop_front();
    }
}

NetStream CallReplay::packet(std::uint32_t origin) const
{
    NetStream out;
    out.write(id);
    out.write(origin);
    for (const Bytes& batch : held_) {
        NetStream nested;
        nested.writeBits(batch.data(), 8 * batch.size());
        out.write(true);
        out.write(nested);
    }
    out.write(false);
    return out;
}

std::vector<CallReplay::Bytes> CallReplay::decode(const std::uint8_t* data, std::size_t size)
{
    std::vector<Bytes> batches;
    NetStream in(data, size);
    std::uint8_t identifier = 0;
    std::uint32_t origin = 0;
    if (!in.read(identifier) || identifier != id || !in.read(origin))
        return batches;
    bool more = false;
    while (batches.size() < maxBatchesPerPacket && in.read(more) && more) {
        NetStream nested;
        if (!in.read(nested) || nested.bitsUsed() == 0)
            break; // cut short: what came whole stands
        batches.emplace_back(nested.data(), nested.data() + nested.bytesUsed());
    }
    return batches;
}

} // namespace kit
