#pragma once

#include <memory>

namespace kit {

// Lets an object that calls out (a signal, a callback) find out afterwards
// whether the call destroyed it: watch() before the call, test the watched
// flag after it. The shared flag is made on the first watch, so objects that
// are never watched pay nothing.
class AliveFlag {
public:
    AliveFlag() = default;
    // A copy is another object, with a life of its own.
    AliveFlag(const AliveFlag&) {}
    AliveFlag& operator=(const AliveFlag&) { return *this; }
    ~AliveFlag()
    {
        if (alive_)
            *alive_ = false;
    }

    [[nodiscard]] std::shared_ptr<const bool> watch() const
    {
        if (!alive_)
            alive_ = std::make_shared<bool>(true);
        return alive_;
    }

private:
    mutable std::shared_ptr<bool> alive_;
};

} // namespace kit
