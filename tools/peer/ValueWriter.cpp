#include "ValueWriter.h"

#include "engine/network/stream/NetStream.h"

#include <glm/gtc/quaternion.hpp>
#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace peer {

std::uint32_t ValueWriter::integer(const Number& number, RunContext& context)
{
    switch (number.source) {
    case Number::Source::mine:
        return context.mine;
    case Number::Source::them:
        return context.them;
    case Number::Source::index: {
        // Saturated to the 32-bit range, as a real put where an integer goes.
        const double value = static_cast<double>(context.index) * number.scale + number.offset;
        if (!(std::abs(value) < 2147483648.0))
            return value > 0.0 ? 0x7FFFFFFFu : 0x80000000u;
        return static_cast<std::uint32_t>(static_cast<std::int32_t>(value));
    }
    case Number::Source::fresh:
        context.lastSerial = context.nextSerial++;
        return context.lastSerial;
    case Number::Source::last:
        return context.lastSerial;
    case Number::Source::literal:
        break;
    }
    if (!number.isReal)
        return static_cast<std::uint32_t>(number.integer);
    // A real where an integer goes: its whole part, saturated (NaN gives 0).
    if (!(std::abs(number.real) < 2147483648.0f))
        return number.real > 0.0f ? 0x7FFFFFFFu : (number.real < 0.0f ? 0x80000000u : 0u);
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(number.real));
}

float ValueWriter::real(const Number& number, RunContext& context)
{
    if (number.source == Number::Source::literal)
        return number.isReal ? number.real : static_cast<float>(number.integer);
    if (number.source == Number::Source::index)
        return static_cast<float>(static_cast<double>(context.index) * number.scale + number.offset);
    return static_cast<float>(integer(number, context));
}

void ValueWriter::write(kit::NetStream& stream, const Value& value, RunContext& context)
{
    auto at = [&](std::size_t i) -> const Number& {
        static const Number zero;
        return i < value.numbers.size() ? value.numbers[i] : zero;
    };
    switch (value.kind) {
    case Value::Kind::u8:
        stream.write(static_cast<std::uint8_t>(integer(at(0), context)));
        break;
    case Value::Kind::u16:
        stream.write(static_cast<std::uint16_t>(integer(at(0), context)));
        break;
    case Value::Kind::i32:
        stream.write(static_cast<std::int32_t>(integer(at(0), context)));
        break;
    case Value::Kind::u32:
        stream.write(integer(at(0), context));
        break;
    case Value::Kind::f32:
        stream.write(real(at(0), context));
        break;
    case Value::Kind::boolean:
        stream.write(integer(at(0), context) != 0);
        break;
    case Value::Kind::string:
        stream.write(value.bytes.substr(0, kit::NetStream::maxStringLength));
        break;
    case Value::Kind::vec2:
        stream.write(glm::vec2(real(at(0), context), real(at(1), context)));
        break;
    case Value::Kind::vec3:
        stream.write(glm::vec3(real(at(0), context), real(at(1), context), real(at(2), context)));
        break;
    case Value::Kind::quat: {
        // glm's quaternion constructor takes w first; the wire order is x, y, z, w.
        const float x = real(at(0), context), y = real(at(1), context), z = real(at(2), context);
        stream.write(glm::quat(real(at(3), context), x, y, z));
        break;
    }
    case Value::Kind::entity: {
        const std::uint32_t origin = integer(at(0), context);
        stream.write(origin);
        stream.write(integer(at(1), context));
        break;
    }
    case Value::Kind::nested: {
        kit::NetStream inner;
        for (const Value& child : value.children)
            write(inner, child, context);
        stream.write(inner);
        break;
    }
    case Value::Kind::raw:
        stream.writeBits(reinterpret_cast<const std::uint8_t*>(value.bytes.data()), value.bytes.size() * 8);
        break;
    case Value::Kind::fill: {
        const std::vector<std::uint8_t> chunk(std::min<std::size_t>(value.count, 1 << 16),
                                              value.bytes.empty() ? 0 : static_cast<std::uint8_t>(value.bytes[0]));
        for (std::size_t done = 0; done < value.count; done += chunk.size())
            stream.writeBits(chunk.data(), std::min(chunk.size(), value.count - done) * 8);
        break;
    }
    }
}

} // namespace peer
