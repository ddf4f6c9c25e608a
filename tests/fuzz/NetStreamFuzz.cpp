// Reads every type the bit stream knows from arbitrary bytes. The bytes choose
// the types too: each step reads a one-byte selector, then a value of the
// selected type. Checked: no read goes past the data, a failed read moves
// nothing, nested streams stay within their parent, and what was read writes
// back and reads again to the same values.
#include "FuzzCheck.h"
#include "engine/network/stream/NetStream.h"

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <variant>
#include <vector>

namespace {

using Value = std::variant<bool, std::uint8_t, std::uint16_t, std::int32_t, std::uint32_t, float, std::string,
                           glm::vec2, glm::vec3, glm::quat, kit::EntityID, kit::EntityHandle>;

bool sameBits(float a, float b)
{
    return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}

bool same(const Value& a, const Value& b)
{
    if (a.index() != b.index())
        return false;
    return std::visit(
        [&](const auto& x) {
            using T = std::decay_t<decltype(x)>;
            const T& y = std::get<T>(b);
            if constexpr (std::is_same_v<T, float>)
                return sameBits(x, y);
            else if constexpr (std::is_same_v<T, glm::vec2> || std::is_same_v<T, glm::vec3> ||
                               std::is_same_v<T, glm::quat>) {
                for (int i = 0; i < T::length(); ++i)
                    if (!sameBits(x[i], y[i]))
                        return false;
                return true;
            } else if constexpr (std::is_same_v<T, kit::EntityHandle>)
                return x.id == y.id;
            else
                return x == y;
        },
        a);
}

Value blank(std::uint8_t selector)
{
    switch (selector % 12) {
    case 0: return false;
    case 1: return std::uint8_t{0};
    case 2: return std::uint16_t{0};
    case 3: return std::int32_t{0};
    case 4: return std::uint32_t{0};
    case 5: return 0.0f;
    case 6: return std::string();
    case 7: return glm::vec2(0.0f);
    case 8: return glm::vec3(0.0f);
    case 9: return glm::quat(1, 0, 0, 0);
    case 10: return kit::EntityID{};
    default: return kit::EntityHandle{};
    }
}

// Reads selector/value pairs until the stream runs dry; nested streams (selector
// 12 and above) are read recursively. Records the values read.
void readAll(kit::NetStream& in, std::vector<Value>& values, std::vector<std::uint8_t>& selectors, int depth)
{
    while (in.bitsLeft() >= 8) {
        std::uint8_t selector = 0;
        fuzz::require(in.read(selector));
        selectors.push_back(selector);
        const std::size_t before = in.bitsRead();
        if (selector % 16 >= 12 && depth < 4) {
            kit::NetStream nested;
            in.writing = false;
            in.serialize(nested);
            fuzz::require(nested.bitsUsed() <= in.bitsUsed());
            fuzz::require(in.bitsRead() <= in.bitsUsed());
            readAll(nested, values, selectors, depth + 1);
            continue;
        }
        Value value = blank(selector);
        const Value original = value;
        std::visit([&](auto& v) { in.read(v); }, value);
        fuzz::require(in.bitsRead() <= in.bitsUsed());
        if (in.bitsRead() == before) {
            fuzz::require(same(value, original) || std::holds_alternative<std::string>(value)); // nothing read
            return;
        }
        values.push_back(value);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    kit::NetStream in(data, size);
    std::vector<Value> values;
    std::vector<std::uint8_t> selectors;
    readAll(in, values, selectors, 0);

    // Everything read writes back and reads again unchanged.
    kit::NetStream out;
    for (const Value& v : values)
        std::visit([&](const auto& x) { out.write(x); }, v);
    kit::NetStream again(out.data(), out.bytesUsed());
    for (const Value& v : values) {
        Value copy = v;
        std::visit([&](auto& x) { fuzz::require(again.read(x) || std::holds_alternative<std::string>(v)); }, copy);
        fuzz::require(same(copy, v));
    }
    return 0;
}
