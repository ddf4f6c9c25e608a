#pragma once

#include <string>
#include <string_view>
#include <type_traits>

namespace kit {

// Which copies may call a named function over the network. A copy's own
// calls always run where they are made; these rules decide what a copy
// accepts from its connections, and what a hosting copy relays. "The entity
// the call is about" is its first argument; its owner is the copy whose
// origin the entity's id carries.
enum class Caller {
    owner,         // only the copy that owns the entity the call is about
    ownerOrShared, // the owner, or any copy when the entity carries the label "shared"
    anyone,        // any copy, about any entity
    host,          // only the hosting copy
};

// The label of entities that every copy may act on through functions whose
// rule is Caller::ownerOrShared (a pick-up: the first plane that touches it
// takes it, on that plane's copy).
inline constexpr std::string_view sharedLabel = "shared";

// A named function: its name, the types of its arguments after the entity
// the call is about, and who may call it. Declared once, next to the code
// that registers it, and used both to register the handler and to call it, so
// that a call converts its arguments to exactly the types the handler reads,
// or does not compile. The types are plain values that the NetStream, or an
// ADL `serialize(NetStream&, T&)` of the game, knows how to write and read.
template <class... Args> struct NamedFunction {
    static_assert((std::is_same_v<Args, std::decay_t<Args>> && ...), "arguments are declared as plain value types");
    std::string_view name;
    Caller caller = Caller::owner;
};

// The engine's own functions, registered by every network system.
// "destroyEntity": destroys the entity at once, everywhere. Its owner's
// call, or anyone's for a shared entity.
inline constexpr NamedFunction<> destroyEntityFunction{"destroyEntity", Caller::ownerOrShared};
// "destroyComponent": destroys, everywhere, the entity's components that carry the named tag.
inline constexpr NamedFunction<std::string> destroyComponentFunction{"destroyComponent"};

} // namespace kit
