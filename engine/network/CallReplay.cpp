#include "CallReplay.h"

#include "engine/core/Log.h"

#include <algorithm>
#include <cmath>

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
        keep(self_, bytes, now);
    keepRecent(now, std::move(bytes));
}

void CallReplay::heard(const std::uint8_t* data, std::size_t size, float now)
{
    remember(digestOf(data, size), now);
}

std::vector<bool> CallReplay::unseen(const std::vector<Bytes>& batches, float now, const std::vector<float>& ages)
{
    std::vector<std::uint64_t> digests;
    digests.reserve(batches.size());
    for (const Bytes& batch : batches)
        digests.push_back(digestOf(batch.data(), batch.size()));
    // When each of these batches ran here; a run matches one replayed batch at most.
    std::unordered_map<std::uint64_t, std::vector<float>> runsAt;
    for (const std::uint64_t d : digests)
        runsAt.try_emplace(d);
    for (const Ran& r : ran_) {
        if (auto found = runsAt.find(r.digest); found != runsAt.end())
            found->second.push_back(r.at);
    }
    std::vector<bool> fresh;
    fresh.reserve(batches.size());
    for (std::size_t i = 0; i < batches.size(); ++i) {
        const float had = now - (i < ages.size() ? ages[i] : 0.0f);
        std::vector<float>& times = runsAt[digests[i]];
        auto nearest = times.end();
        for (auto t = times.begin(); t != times.end(); ++t) {
            if (std::abs(*t - had) <= sameMomentSeconds &&
                (nearest == times.end() || std::abs(*t - had) < std::abs(*nearest - had)))
                nearest = t;
        }
        const bool isNew = nearest == times.end();
        if (isNew)
            remember(digests[i], had);
        else
            times.erase(nearest);
        fresh.push_back(isNew);
    }
    return fresh;
}

void CallReplay::hold(std::uint32_t self, float from)
{
    held_.clear();
    heldBytes_ = 0;
    self_ = self;
    holding_ = true;
    overflowTold_ = false;
    for (const Kept& m : recent_) {
        if (m.at >= from)
            keep(self, m.bytes, m.at);
    }
}

void CallReplay::keep(std::uint32_t maker, const Bytes& batch, float at)
{
    if (!holding_)
        return;
    if (heldBytes_ + batch.size() > maxHeldBytes) {
        if (!overflowTold_)
            log::warn() << "Too many calls to hand on to the next host: the latest are kept";
        overflowTold_ = true;
        // The oldest go first: they are the likeliest to have arrived anyway.
        std::size_t drop = 0;
        while (drop < held_.size() && heldBytes_ + batch.size() > maxHeldBytes)
            heldBytes_ -= held_[drop++].bytes.size();
        held_.erase(held_.begin(), held_.begin() + static_cast<std::ptrdiff_t>(drop));
        if (heldBytes_ + batch.size() > maxHeldBytes)
            return; // a batch larger than the bound on its own
    }
    heldBytes_ += batch.size();
    held_.push_back(Held{maker, at, batch});
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

NetStream CallReplay::packet(std::uint32_t maker, const std::vector<Held>& batches, float now)
{
    NetStream out;
    out.write(id);
    out.write(maker);
    for (const Held& h : batches) {
        NetStream nested;
        nested.writeBits(h.bytes.data(), 8 * h.bytes.size());
        out.write(true);
        out.write(std::max(now - h.at, 0.0f));
        out.write(nested);
    }
    out.write(false);
    return out;
}

std::vector<NetStream> CallReplay::packets(float now) const
{
    std::vector<NetStream> out;
    for (std::size_t first = 0; first < held_.size();) {
        std::size_t end = first;
        while (end < held_.size() && held_[end].maker == held_[first].maker && end - first < maxBatchesPerPacket)
            ++end;
        const std::vector<Held> run(held_.begin() + static_cast<std::ptrdiff_t>(first),
                                    held_.begin() + static_cast<std::ptrdiff_t>(end));
        out.push_back(packet(held_[first].maker, run, now));
        first = end;
    }
    return out;
}

std::optional<CallReplay::Decoded> CallReplay::decode(const std::uint8_t* data, std::size_t size)
{
    NetStream in(data, size);
    std::uint8_t identifier = 0;
    Decoded decoded;
    if (!in.read(identifier) || identifier != id || !in.read(decoded.maker))
        return std::nullopt;
    bool more = false;
    while (decoded.batches.size() < maxBatchesPerPacket && in.read(more) && more) {
        float age = 0.0f;
        NetStream nested;
        if (!in.read(age) || !in.read(nested) || nested.bitsUsed() == 0)
            break; // cut short: what came whole stands
        // Only a batch of the last moments is ever replayed.
        if (!(age >= 0.0f && age <= keptSeconds + rememberedSeconds))
            age = 0.0f;
        decoded.batches.push_back(Replayed{Bytes(nested.data(), nested.data() + nested.bytesUsed()), age});
    }
    return decoded;
}

} // namespace kit
