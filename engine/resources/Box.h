#pragma once

#include "engine/core/Component.h"

#include <utility>

namespace kit {

// A component that only holds a value, so that a world can own it (a loading
// screen keeps its ResourceBucket in one).
template <class T>
class Box : public Component {
public:
    explicit Box(T value = T()) : value(std::move(value)) {}

    T value;
};

} // namespace kit
