#pragma once

#include "Script.h"
#include "TokenCursor.h"

#include <cstdint>
#include <string>

namespace peer {

// Reads a script's values and numbers from the cursor (the grammar is in
// docs/tools.md): literals, typed constructors such as vec3(..) and id(..), and the
// numbers only known while the script runs (me, them, index, new, last).
// Every reader returns false with the cursor's error set when it cannot read.
class ValueParser {
public:
    explicit ValueParser(TokenCursor& in) : in_(in) {}

    bool value(Value& out, int depth);
    // An entity id, id(ORIGIN, SERIAL).
    bool entity(Value& out);
    // An integer literal within [low, high], or (where allowed) a number
    // known while the script runs.
    bool integer(Number& out, std::int64_t low, std::int64_t high, bool allowSources);
    // A float literal, a float word (nan, inf, huge) or an index form.
    bool real(Number& out);
    // A plain number within [low, high] (seconds, rates).
    bool bounded(double& out, double low, double high, const char* what);

private:
    bool constructor(const std::string& name, Value& out, int depth);
    bool indexForm(Number& out);

    TokenCursor& in_;
};

} // namespace peer
