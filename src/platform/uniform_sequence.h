#pragma once

#include <cstdint>
#include <random>

namespace vorarid {

// The uniform random sequence the game draws from. It always starts from the
// same state, so every run of the program sees the same values in turn.
class UniformSequence {
public:
    // A value u with 0 <= u < 1.
    double next() {
        // The top 53 bits of a 64-bit draw fill a double's mantissa exactly,
        // so the result can never round up to 1.
        return static_cast<double>(engine_() >> 11) * 0x1.0p-53;
    }

private:
    std::mt19937_64 engine_{20261208u};
};

}  // namespace vorarid
