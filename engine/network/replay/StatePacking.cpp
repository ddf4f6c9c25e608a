#include "StatePacking.h"

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

std::vector<std::uint8_t> build(const Packet& packet)
{
    NetStream out;
    out.write(stateUpdateId);
    out.write(packet.sender);
    out.write(packet.screen);
    for (const Record& record : packet.records) {
        out.write(true);
        out.write(record.entity);
        out.write(record.name);
        NetStream state;
        state.writeBits(record.bytes.data(), record.bits);
        out.write(state);
    }
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

void putU16(std::vector<std::uint8_t>& out, std::uint16_t v)
{
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void putU32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

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
    const std::optional<Packet> parsed = parse(packet);
    // Only what rebuilds bit for bit is taken apart: anything else stays whole.
    if (!parsed || parsed->records.size() > statePacking::maxRecords || parsed->screen.size() > 0xFFFF)
        return std::nullopt;
    const std::vector<std::uint8_t> rebuilt = build(*parsed);
    if (rebuilt.size() != packet.size() || !std::equal(rebuilt.begin(), rebuilt.end(), packet.begin()))
        return std::nullopt;
    for (const Record& record : parsed->records) {
        if (record.bits > statePacking::maxStateBits || record.name.size() > 0xFFFF)
            return std::nullopt;
        if (!names_.contains(record.name) && names_.size() >= statePacking::maxNames)
            return std::nullopt;
    }

    std::vector<std::uint8_t> out;
    putU32(out, parsed->sender);
    putText(out, parsed->screen);
    putU32(out, static_cast<std::uint32_t>(parsed->records.size()));
    for (const Record& record : parsed->records) {
        putU32(out, record.entity.origin);
        putU32(out, record.entity.serial);
        auto [name, added] = names_.try_emplace(record.name, static_cast<std::uint16_t>(names_.size()));
        putU16(out, name->second);
        if (added)
            putText(out, record.name);
        putU32(out, static_cast<std::uint32_t>(record.bits));
        std::vector<std::uint8_t>& last = last_[Key{parsed->sender, record.entity, name->second}];
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
        last = std::move(now);
    }
    return out;
}

std::optional<std::vector<std::uint8_t>> StateUnpacker::unpack(std::span<const std::uint8_t> packed,
                                                               std::string& error)
{
    Reader in(packed);
    Packet packet;
    std::uint32_t count = 0;
    const auto broken = [&error](const char* why) {
        error = std::string("a packed state packet ") + why;
        return std::nullopt;
    };
    if (!in.u32(packet.sender) || !in.text(packet.screen) || !in.u32(count))
        return broken("ends early");
    if (count > statePacking::maxRecords || count > in.left() / 15) // 15 bytes: the least a record takes
        return broken("claims too many records");
    packet.records.resize(count);
    for (Record& record : packet.records) {
        std::uint16_t name = 0;
        std::uint32_t bits = 0;
        std::uint8_t mode = 0;
        if (!in.u32(record.entity.origin) || !in.u32(record.entity.serial) || !in.u16(name))
            return broken("ends early");
        if (name == names_.size()) {
            if (names_.size() >= statePacking::maxNames || !in.text(record.name))
                return broken("has a broken component name");
            names_.push_back(record.name);
        } else if (name < names_.size()) {
            record.name = names_[name];
        } else {
            return broken("names a component it never introduced");
        }
        if (!in.u32(bits) || bits > statePacking::maxStateBits || !in.u8(mode))
            return broken("has a broken record");
        record.bits = bits;
        const std::size_t bytes = (bits + 7) / 8;
        std::vector<std::uint8_t> now;
        putU32(now, bits);
        std::vector<std::uint8_t>& last = last_[Key{packet.sender, record.entity, name}];
        const bool sameLength = last.size() == bytes + 4 && std::equal(last.begin(), last.begin() + 4, now.begin());
        if (mode == same || mode == changed) {
            if (!sameLength)
                return broken("changes a record it does not have");
            record.bytes.assign(last.begin() + 4, last.end());
            if (mode == changed) {
                std::vector<std::uint8_t> delta;
                if (!in.take(bytes, delta))
                    return broken("ends early");
                for (std::size_t i = 0; i < bytes; ++i)
                    record.bytes[i] ^= delta[i];
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
        now.insert(now.end(), record.bytes.begin(), record.bytes.end());
        last = std::move(now);
    }
    if (in.left() != 0)
        return broken("has bytes after its records");
    return build(packet);
}

} // namespace kit
