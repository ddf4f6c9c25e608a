// What every fuzzing harness checks with: a broken promise ends the run at
// once, with the input that broke it kept by the fuzzer.
#pragma once

#include <cstdlib>

namespace fuzz {

inline void require(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace fuzz
