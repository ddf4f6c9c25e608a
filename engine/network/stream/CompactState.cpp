#include "CompactState.h"

#include "NetStream.h"
#include "engine/core/EntityID.h"
#include "engine/core/Log.h"

#include <glm/gtc/quaternion.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <map>

namespace kit::compactState {

namespace {

constexpr std::uint8_t fullStateId = 135; // the network system's own state packets
constexpr unsigned typeBits = 4;
constexpr std::uint8_t namedType = 0;
constexpr unsigned varintGroups = 5;
constexpr unsigned partBits = 12; // each of a rotation's three smaller parts
constexpr unsigned turnBits = 16; // a turn about z
constexpr float pi = 3.14159265358979f;

std::map<std::uint8_t, Layout>& layouts()
{
    static std::map<std::uint8_t, Layout> table;
    return table;
}

// A quaternion's four floats, all of them or none (a quaternion read as a
// whole says yes for a part of one).
bool readQuat(NetStream& in, glm::quat& q)
{
    float x = 0.0f, y = 0.0f, z = 0.0f, w = 0.0f;
    if (!in.read(x) || !in.read(y) || !in.read(z) || !in.read(w))
        return false;
    q = glm::quat(w, x, y, z);
    return true;
}

// Up to 64 bits of an unsigned value, most significant first.
void putBits(NetStream& out, std::uint64_t value, unsigned bits)
{
    std::array<std::uint8_t, 8> bytes{};
    const std::uint64_t aligned = bits == 0 ? 0 : value << (64 - bits);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(aligned >> (56 - 8 * i));
    out.writeBits(bytes.data(), bits);
}

bool takeBits(NetStream& in, unsigned bits, std::uint64_t& value)
{
    std::array<std::uint8_t, 8> bytes{};
    if (!in.readBits(bytes.data(), bits))
        return false;
    std::uint64_t aligned = 0;
    for (const std::uint8_t b : bytes)
        aligned = (aligned << 8) | b;
    value = bits == 0 ? 0 : aligned >> (64 - bits);
    return true;
}

void putVarint(NetStream& out, std::uint32_t value)
{
    do {
        putBits(out, value & 0x7F, 7);
        value >>= 7;
        out.write(value != 0);
    } while (value != 0);
}

bool takeVarint(NetStream& in, std::uint32_t& value)
{
    std::uint64_t result = 0;
    for (unsigned group = 0; group < varintGroups; ++group) {
        std::uint64_t part = 0;
        bool more = false;
        if (!takeBits(in, 7, part) || !in.read(more))
            return false;
        result |= part << (7 * group);
        if (!more) {
            if (result > std::numeric_limits<std::uint32_t>::max())
                return false;
            value = static_cast<std::uint32_t>(result);
            return true;
        }
    }
    return false;
}

bool copyBits(NetStream& in, NetStream& out, std::size_t bits)
{
    std::vector<std::uint8_t> buffer((bits + 7) / 8);
    if (!in.readBits(buffer.data(), bits))
        return false;
    out.writeBits(buffer.data(), bits);
    return true;
}

// The fixed-point steps of a float, when it has a value the field's bits hold.
std::optional<std::int64_t> steps(float value, const Field& field)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double scaled = std::round(static_cast<double>(value) * static_cast<double>(field.scale));
    const double limit = std::ldexp(1.0, static_cast<int>(field.bits) - 1);
    if (!(std::fabs(scaled) < limit))
        return std::nullopt;
    return static_cast<std::int64_t>(scaled);
}

void packReal(float value, const Field& field, NetStream& out)
{
    if (value == field.usual) {
        putBits(out, 0b00, 2);
        return;
    }
    if (const std::optional<std::int64_t> s = steps(value, field)) {
        putBits(out, 0b01, 2);
        putBits(out, static_cast<std::uint64_t>(*s) & ((std::uint64_t(1) << field.bits) - 1), field.bits);
        return;
    }
    out.write(true);
    out.write(value);
}

bool unpackReal(NetStream& in, const Field& field, float& value)
{
    bool raw = false;
    if (!in.read(raw))
        return false;
    if (raw)
        return in.read(value);
    bool fixed = false;
    if (!in.read(fixed))
        return false;
    if (!fixed) {
        value = field.usual;
        return true;
    }
    std::uint64_t bits = 0;
    if (!takeBits(in, field.bits, bits))
        return false;
    // Sign-extend the field's bits.
    const std::uint64_t sign = std::uint64_t(1) << (field.bits - 1);
    const auto s = static_cast<std::int64_t>((bits ^ sign)) - static_cast<std::int64_t>(sign);
    value = static_cast<float>(static_cast<double>(s) / static_cast<double>(field.scale));
    return true;
}

std::uint64_t fraction(float value, float range, unsigned bits)
{
    const double top = std::ldexp(1.0, static_cast<int>(bits)) - 1.0;
    const double f = (static_cast<double>(value) + range) / (2.0 * range) * top;
    return static_cast<std::uint64_t>(std::clamp(std::round(f), 0.0, top));
}

float fromFraction(std::uint64_t bits, float range, unsigned count)
{
    const double top = std::ldexp(1.0, static_cast<int>(count)) - 1.0;
    return static_cast<float>(static_cast<double>(bits) / top * 2.0 * range - range);
}

void packRotation(const glm::quat& q, NetStream& out)
{
    const float length = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
    if (!std::isfinite(length) || std::fabs(length - 1.0f) > 1e-3f) {
        out.write(true);
        out.write(q);
        return;
    }
    out.write(false);
    const glm::quat n(q.w / length, q.x / length, q.y / length, q.z / length);
    if (n.x == 0.0f && n.y == 0.0f) {
        out.write(true);
        putBits(out, fraction(std::atan2(n.z, n.w), pi, turnBits), turnBits);
        return;
    }
    out.write(false);
    const std::array<float, 4> parts{n.x, n.y, n.z, n.w};
    std::size_t largest = 0;
    for (std::size_t i = 1; i < parts.size(); ++i)
        if (std::fabs(parts[i]) > std::fabs(parts[largest]))
            largest = i;
    const float sign = parts[largest] < 0.0f ? -1.0f : 1.0f;
    putBits(out, largest, 2);
    for (std::size_t i = 0; i < parts.size(); ++i)
        if (i != largest)
            putBits(out, fraction(sign * parts[i], 0.70711f, partBits), partBits);
}

bool unpackRotation(NetStream& in, glm::quat& q)
{
    bool raw = false;
    if (!in.read(raw))
        return false;
    if (raw)
        return readQuat(in, q);
    bool aboutZ = false;
    if (!in.read(aboutZ))
        return false;
    if (aboutZ) {
        std::uint64_t turn = 0;
        if (!takeBits(in, turnBits, turn))
            return false;
        const float half = fromFraction(turn, pi, turnBits);
        q = glm::quat(std::cos(half), 0.0f, 0.0f, std::sin(half));
        return true;
    }
    std::uint64_t largest = 0;
    if (!takeBits(in, 2, largest))
        return false;
    std::array<float, 4> parts{};
    float sum = 0.0f;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i == largest)
            continue;
        std::uint64_t bits = 0;
        if (!takeBits(in, partBits, bits))
            return false;
        parts[i] = fromFraction(bits, 0.70711f, partBits);
        sum += parts[i] * parts[i];
    }
    parts[largest] = std::sqrt(std::max(0.0f, 1.0f - sum));
    q = glm::quat(parts[3], parts[0], parts[1], parts[2]);
    return true;
}

// A record's state in a layout's fields; false (nothing written) when the
// state is not made of exactly those fields.
bool packFields(const Layout& layout, NetStream state, NetStream& out)
{
    NetStream packed;
    for (const Field& field : layout.fields) {
        switch (field.kind) {
        case Field::Kind::real: {
            float value = 0.0f;
            if (!state.read(value))
                return false;
            packReal(value, field, packed);
            break;
        }
        case Field::Kind::flag: {
            bool value = false;
            if (!state.read(value))
                return false;
            packed.write(value);
            break;
        }
        case Field::Kind::count:
        case Field::Kind::signedInt: {
            std::uint32_t value = 0;
            if (!state.read(value))
                return false;
            if (field.kind == Field::Kind::signedInt) // zigzag: small magnitudes, few bits
                value = (value << 1) ^ (0u - (value >> 31));
            putVarint(packed, value);
            break;
        }
        case Field::Kind::rotation: {
            glm::quat value;
            if (!readQuat(state, value))
                return false;
            packRotation(value, packed);
            break;
        }
        }
    }
    if (state.bitsLeft() != 0)
        return false;
    out.writeBits(packed.data(), packed.bitsUsed());
    return true;
}

bool unpackFields(const Layout& layout, NetStream& in, NetStream& state)
{
    for (const Field& field : layout.fields) {
        switch (field.kind) {
        case Field::Kind::real: {
            float value = 0.0f;
            if (!unpackReal(in, field, value))
                return false;
            state.write(value);
            break;
        }
        case Field::Kind::flag: {
            bool value = false;
            if (!in.read(value))
                return false;
            state.write(value);
            break;
        }
        case Field::Kind::count:
        case Field::Kind::signedInt: {
            std::uint32_t value = 0;
            if (!takeVarint(in, value))
                return false;
            if (field.kind == Field::Kind::signedInt)
                value = (value >> 1) ^ (0u - (value & 1u));
            state.write(value);
            break;
        }
        case Field::Kind::rotation: {
            glm::quat value;
            if (!unpackRotation(in, value))
                return false;
            state.write(value);
            break;
        }
        }
    }
    return true;
}

const std::pair<const std::uint8_t, Layout>* layoutNamed(const std::string& name)
{
    for (const auto& entry : layouts())
        if (entry.second.typeName == name)
            return &entry;
    return nullptr;
}

// An 8-bit length and the bytes; false for a text longer than 255 bytes.
bool putShortText(NetStream& out, const std::string& text)
{
    if (text.size() > 255)
        return false;
    putBits(out, text.size(), 8);
    out.writeBits(reinterpret_cast<const std::uint8_t*>(text.data()), text.size() * 8);
    return true;
}

bool takeShortText(NetStream& in, std::string& text)
{
    std::uint64_t length = 0;
    if (!takeBits(in, 8, length))
        return false;
    std::vector<std::uint8_t> bytes(length);
    if (!in.readBits(bytes.data(), length * 8))
        return false;
    text.assign(bytes.begin(), bytes.end());
    return true;
}

} // namespace

bool add(std::uint8_t index, Layout layout)
{
    if (index == namedType || index >= (1u << typeBits)) {
        log::warn() << "Packed state: type index " << int(index) << " is not from 1 to 15";
        return false;
    }
    if (layouts().count(index) != 0 || layoutNamed(layout.typeName)) {
        log::warn() << "Packed state: type index " << int(index) << " or type \"" << layout.typeName
                    << "\" registered twice";
        return false;
    }
    for (const Field& field : layout.fields)
        if (field.kind == Field::Kind::real && (field.bits < 2 || field.bits > 32 || !(field.scale > 0.0f))) {
            log::warn() << "Packed state: a field of \"" << layout.typeName << "\" has no usable steps";
            return false;
        }
    layouts().emplace(index, std::move(layout));
    return true;
}

std::optional<std::vector<std::uint8_t>> pack(const std::uint8_t* full, std::size_t bytes)
{
    NetStream in(full, bytes);
    std::uint8_t first = 0;
    std::uint32_t origin = 0;
    std::string screen;
    if (!in.read(first) || first != fullStateId || !in.read(origin) || !in.read(screen))
        return std::nullopt;
    NetStream out;
    out.write(id);
    out.write(origin);
    if (!putShortText(out, screen))
        return std::nullopt;
    std::optional<EntityID> previous;
    bool more = false;
    while (in.read(more) && more) {
        EntityID entity;
        std::string type;
        NetStream state;
        const std::size_t before = in.bitsRead();
        in.read(entity);
        in.read(type);
        in.read(state);
        if (in.bitsRead() == before)
            return std::nullopt;
        out.write(true);
        const bool same = previous && *previous == entity;
        out.write(same);
        if (!same) {
            const bool own = entity.origin == origin;
            out.write(own);
            if (own)
                putVarint(out, entity.serial);
            else
                out.write(entity);
        }
        previous = entity;
        const auto* layout = layoutNamed(type);
        NetStream fields;
        if (layout && packFields(layout->second, state, fields)) {
            putBits(out, layout->first, typeBits);
            out.writeBits(fields.data(), fields.bitsUsed());
            continue;
        }
        putBits(out, namedType, typeBits);
        if (!putShortText(out, type) || state.bitsUsed() > std::numeric_limits<std::uint32_t>::max())
            return std::nullopt;
        putVarint(out, static_cast<std::uint32_t>(state.bitsUsed()));
        out.writeBits(state.data(), state.bitsUsed());
    }
    out.write(false);
    return std::vector<std::uint8_t>(out.data(), out.data() + out.bytesUsed());
}

std::optional<std::vector<std::uint8_t>> unpack(const std::uint8_t* packed, std::size_t bytes, std::size_t maxRecords)
{
    NetStream in(packed, bytes);
    std::uint8_t first = 0;
    std::uint32_t origin = 0;
    std::string screen;
    if (!in.read(first) || first != id || !in.read(origin) || !takeShortText(in, screen))
        return std::nullopt;
    NetStream out;
    out.write(fullStateId);
    out.write(origin);
    out.write(screen);
    std::optional<EntityID> previous;
    std::size_t records = 0;
    for (;;) {
        bool more = false;
        if (!in.read(more))
            return std::nullopt; // cut short: no end bit
        if (!more)
            break;
        if (records++ > maxRecords)
            break; // one beyond the bound is enough for the reader to refuse
        bool same = false;
        if (!in.read(same) || (same && !previous))
            return std::nullopt;
        EntityID entity = previous.value_or(EntityID{});
        if (!same) {
            bool own = false;
            if (!in.read(own))
                return std::nullopt;
            if (own) {
                entity.origin = origin;
                if (!takeVarint(in, entity.serial))
                    return std::nullopt;
            } else if (!in.read(entity.origin) || !in.read(entity.serial)) {
                return std::nullopt; // (an id read as a whole says yes for half of one)
            }
        }
        previous = entity;
        std::uint64_t type = 0;
        if (!takeBits(in, typeBits, type))
            return std::nullopt;
        std::string name;
        NetStream state;
        if (type == namedType) {
            std::uint32_t length = 0;
            if (!takeShortText(in, name) || !takeVarint(in, length) || length > in.bitsLeft() ||
                !copyBits(in, state, length))
                return std::nullopt;
        } else {
            const auto found = layouts().find(static_cast<std::uint8_t>(type));
            if (found == layouts().end() || !unpackFields(found->second, in, state))
                return std::nullopt;
            name = found->second.typeName;
        }
        out.write(true);
        out.write(entity);
        out.write(name);
        out.write(state);
    }
    out.write(false);
    return std::vector<std::uint8_t>(out.data(), out.data() + out.bytesUsed());
}

} // namespace kit::compactState
