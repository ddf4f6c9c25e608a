#pragma once

#include <string>
#include <string_view>
#include <type_traits>

namespace kit {

// A named function: its name and the types of its arguments after the entity
// the call is about. Declared once, next to the code that registers it, and
// used both to register the handler and to call it, so that a call converts
// its arguments to exactly the types the handler reads, or does not compile.
// The types are plain values that the NetStream, or an ADL `serialize(NetStream&,
// T&)` of the game, knows how to write and read.
template <class... Args> struct NamedFunction {
    static_assert((std::is_same_v<Args, std::decay_t<Args>> && ...), "arguments are declared as plain value types");
    std::string_view name;
};

// The engine's own functions, registered by every network system.
// "destroyEntity": destroys the entity at once, everywhere.
inline constexpr NamedFunction<> destroyEntityFunction{"destroyEntity"};
// "destroyComponent": destroys, everywhere, the entity's components that carry the named tag.
inline constexpr NamedFunction<std::string> destroyComponentFunction{"destroyComponent"};

} // namespace kit
