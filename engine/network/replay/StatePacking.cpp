#include "StatePacking.h"

#include "LittleEndian.h"
#include "ReplayLimits.h"

#include "engine/network/stream/NetStream.h"

#include <algorithm>

namespace kit {
namespace {

constexpr std::uint8_t stateUpdateId = 135;

enum Mode : std::uint8_t { same = 0, whole = 1, changed = 2 };

struct Record {
    EntityID entity;
    std::string name;
    std::size_t bits = 0;
    std::vector<std::uint8_t> bytes; // the state's bits, the last byte's unused bits zero
};

struct Packet {
    std::uint32_t sender = 0;
    std::string screen;
    std::vector<Record> records;
};

std::vector<std::uint8_t> stateBytes(const NetStream& state)
{
    std::vector<std::uint8_t> bytes(state.data(), state.data() + state.bytesUsed());
    if (const std::size_t spare = bytes.size() * 8 - state.bitsUsed(); spare > 0)
        bytes.back() &= static_cast<std::uint8_t>(0xFF << spare);
    return bytes;
}

void appendRecord(NetStream& out, const Record& record)
{
    out.write(true);
    out.write(record.entity);
    out.write(record.name);
    NetStream state;
    state.writeBits(record.bytes.data(), record.bits);
    out.write(state);
}

std::vector<std::uint8_t> build(const Packet& packet)
{
    NetStream out;
    out.write(stateUpdateId);
    out.write(packet.sender);
    out.write(packet.screen);
    for (const Record& record : packet.records)
        appendRecord(out, record);
    out.write(false);
    return {out.data(), out.data() + out.bytesUsed()};
}

std::optional<Packet> parse(std::span<const std::uint8_t> bytes)
{
    NetStream in(bytes.data(), bytes.size());
    Packet packet;
    std::uint8_t id = 0;
    if (!in.read(id) || id != stateUpdateId || !in.read(packet.sender) || !in.read(packet.screen))
        return std::nullopt;
    bool more = false;
    while (in.read(more) && more) {
        Record record;
        NetStream state;
        if (!in.read(record.entity) || !in.read(record.name) || !in.read(state))
            return std::nullopt;
        record.bits = state.bitsUsed();
        record.bytes = stateBytes(state);
        packet.records.push_back(std::move(record));
    }
    return packet;
}

using littleEndian::putU16;
using littleEndian::putU32;

void putText(std::vector<std::uint8_t>& out, const std::string& text)
{
    putU16(out, static_cast<std::uint16_t>(text.size()));
    out.insert(out.end(), text.begin(), text.end());
}

class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    bool u8(std::uint8_t& v) { return number(v, 1); }
    bool u16(std::uint16_t& v) { return number(v, 2); }
    bool u32(std::uint32_t& v) { return number(v, 4); }
    bool text(std::string& out)
    {
        std::uint16_t length = 0;
        if (!u16(length) || length > left())
            return false;
        out.assign(reinterpret_cast<const char*>(bytes_.data() + at_), length);
        at_ += length;
        return true;
    }
    bool take(std::size_t count, std::vector<std::uint8_t>& out)
    {
        if (count > left())
            return false;
        out.assign(bytes_.begin() + static_cast<std::ptrdiff_t>(at_),
                   bytes_.begin() + static_cast<std::ptrdiff_t>(at_ + count));
        at_ += count;
        return true;
    }
    [[nodiscard]] std::size_t left() const { return bytes_.size() - at_; }

private:
    template <class T> bool number(T& v, std::size_t size)
    {
        if (left() < size)
            return false;
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < size; ++i)
            value |= static_cast<std::uint32_t>(bytes_[at_ + i]) << (8 * i);
        v = static_cast<T>(value);
        at_ += size;
        return true;
    }
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

} // namespace

std::optional<std::vector<std::uint8_t>> StatePacker::pack(std::span<const std::uint8_t> packet)
{
    using namespace statePacking;
    if (packet.size() > replayFile::maxRecordBytes)
        return std::nullopt;
    const std::optional<Packet> parsed = parse(packet);
    // Only what rebuilds bit for bit is taken apart: anything else stays whole.
    if (!parsed || parsed->records.size() > statePacking::maxRecords || parsed->screen.size() > 0xFFFF)
        return std::nullopt;
    const std::vector<std::uint8_t> rebuilt = build(*parsed);
    if (rebuilt.size() != packet.size() || !std::equal(rebuilt.begin(), rebuilt.end(), packet.begin()))
        return std::nullopt;
    for (const Record& record : parsed->records) {
        if (record.bits > maxStateBits || record.name.size() > maxNameBytes)
            return std::nullopt;
    }

    // Packed as if it fits, every change noted; undone below if it does not.
    std::vector<std::string> addedNames;
    std::vector<std::pair<Key, std::optional<std::vector<std::uint8_t>>>> previous;
    const std::size_t keptBefore = kept_;
    std::size_t introduced = 0; // bytes of names this packet introduces
    std::vector<std::uint8_t> out;
    putU32(out, parsed->sender);
    putText(out, parsed->screen);
    putU32(out, static_cast<std::uint32_t>(parsed->records.size()));
    for (const Record& record : parsed->records) {
        putU32(out, record.entity.origin);
        putU32(out, record.entity.serial);
        auto [name, added] = names_.try_emplace(record.name, static_cast<std::uint16_t>(names_.size()));
        putU16(out, name->second);
        if (added) {
            putText(out, record.name);
            addedNames.push_back(record.name);
            introduced += 2 + record.name.size();
        }
        putU32(out, static_cast<std::uint32_t>(record.bits));
        const Key key{parsed->sender, record.entity, name->second};
        auto [at, fresh] = last_.try_emplace(key);
        std::vector<std::uint8_t>& last = at->second;
        // `last` holds the bit count (4 bytes) and then the state's bytes.
        std::vector<std::uint8_t> now;
        putU32(now, static_cast<std::uint32_t>(record.bits));
        now.insert(now.end(), record.bytes.begin(), record.bytes.end());
        const bool sameLength = last.size() == now.size() && std::equal(last.begin(), last.begin() + 4, now.begin());
        if (sameLength && last == now) {
            out.push_back(same);
        } else if (sameLength) {
            out.push_back(changed);
            for (std::size_t i = 4; i < now.size(); ++i)
                out.push_back(static_cast<std::uint8_t>(now[i] ^ last[i]));
        } else {
            out.push_back(whole);
            out.insert(out.end(), record.bytes.begin(), record.bytes.end());
        }
        kept_ = kept_ - (fresh ? 0 : last.size() - 4) + record.bytes.size();
        previous.emplace_back(key, fresh ? std::nullopt : std::optional(std::move(last)));
        last = std::move(now);
    }

    // The packed form must stay a record the reader takes, and, the names it
    // introduces aside, no larger than the packet: a file's packed records
    // are then within the bound of its records as the network had them.
    const bool fits = names_.size() <= maxNames && last_.size() <= maxKeys && kept_ <= maxKeptBytes &&
                      out.size() <= replayFile::maxRecordBytes && out.size() - introduced <= packet.size();
    if (fits)
        return out;
    for (auto it = previous.rbegin(); it != previous.rend(); ++it) {
        if (it->second)
            last_[it->first] = std::move(*it->second);
        else
            last_.erase(it->first);
    }
    for (const std::string& name : addedNames)
        names_.erase(name);
    kept_ = keptBefore;
    return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> StateUnpacker::unpack(std::span<const std::uint8_t> packed,
                                                               std::string& error)
{
    using namespace statePacking;
    Reader in(packed);
    std::uint32_t sender = 0, count = 0;
    std::string screen;
    const auto broken = [&error](const std::string& why) {
        error = "a packed state packet " + why;
        return std::nullopt;
    };
    if (!in.u32(sender) || !in.text(screen) || !in.u32(count))
        return broken("ends early");
    if (count > statePacking::maxRecords || count > in.left() / 15) // 15 bytes: the least a record takes
        return broken("claims too many records");
    // The packet is rebuilt as it is read, so that what it unpacks into is
    // held to the transport's largest packet before more is made of it.
    NetStream out;
    out.write(stateUpdateId);
    out.write(sender);
    out.write(screen);
    const auto tooLarge = [&] {
        return broken("rebuilds into more than " + std::to_string(replayFile::maxRecordBytes) + " bytes");
    };
    for (std::uint32_t i = 0; i < count; ++i) {
        Record record;
        std::uint16_t name = 0;
        std::uint32_t bits = 0;
        std::uint8_t mode = 0;
        if (!in.u32(record.entity.origin) || !in.u32(record.entity.serial) || !in.u16(name))
            return broken("ends early");
        if (name == names_.size()) {
            if (names_.size() >= maxNames || !in.text(record.name) || record.name.size() > maxNameBytes)
                return broken("has a broken component name");
            names_.push_back(record.name);
        } else if (name < names_.size()) {
            record.name = names_[name];
        } else {
            return broken("names a component it never introduced");
        }
        if (!in.u32(bits) || bits > maxStateBits || !in.u8(mode))
            return broken("has a broken record");
        record.bits = bits;
        const std::size_t bytes = (bits + 7) / 8;
        std::vector<std::uint8_t> now;
        putU32(now, bits);
        auto [at, fresh] = last_.try_emplace(Key{sender, record.entity, name});
        std::vector<std::uint8_t>& last = at->second;
        const bool sameLength = last.size() == bytes + 4 && std::equal(last.begin(), last.begin() + 4, now.begin());
        if (mode == same || mode == changed) {
            if (!sameLength)
                return broken("changes a record it does not have");
            record.bytes.assign(last.begin() + 4, last.end());
            if (mode == changed) {
                std::vector<std::uint8_t> delta;
                if (!in.take(bytes, delta))
                    return broken("ends early");
                for (std::size_t b = 0; b < bytes; ++b)
                    record.bytes[b] ^= delta[b];
            }
        } else if (mode == whole) {
            if (!in.take(bytes, record.bytes))
                return broken("ends early");
        } else {
            return broken("has a record of unknown form");
        }
        // The unused bits of the last byte stay zero, as packing left them.
        if (const std::size_t spare = bytes * 8 - bits; spare > 0 && bytes > 0)
            record.bytes.back() &= static_cast<std::uint8_t>(0xFF << spare);
        kept_ = kept_ - (fresh ? 0 : last.size() - 4) + record.bytes.size();
        now.insert(now.end(), record.bytes.begin(), record.bytes.end());
        last = std::move(now);
        appendRecord(out, record);
        if (out.bytesUsed() > replayFile::maxRecordBytes)
            return tooLarge();
    }
    out.write(false);
    if (out.bytesUsed() > replayFile::maxRecordBytes)
        return tooLarge();
    if (in.left() != 0)
        return broken("has bytes after its records");
    // As the packer: what is remembered is held to its bounds packet by packet.
    if (last_.size() > maxKeys || kept_ > maxKeptBytes)
        return broken("leaves more state to remember than a replay may");
    return std::vector<std::uint8_t>(out.data(), out.data() + out.bytesUsed());
}

} // namespace kit
