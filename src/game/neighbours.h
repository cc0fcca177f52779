#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>

namespace vorarid {

// The cells one cell can exchange tiles with, in the order they are tried.
class Neighbours {
public:
    constexpr Neighbours(std::initializer_list<int> cells) {
        for (int cell : cells) cells_[count_++] = static_cast<std::int8_t>(cell);
    }
    constexpr const std::int8_t* begin() const { return cells_.data(); }
    constexpr const std::int8_t* end() const { return cells_.data() + count_; }
    constexpr int size() const { return count_; }

private:
    std::array<std::int8_t, 4> cells_{};
    int count_ = 0;
};

// Neighbours of cell p0..p25: above, left, right, below, leaving out what lies
// off the board. Rows don't wrap, and p0 touches p25 alone.
const Neighbours& neighboursOf(int cell);

}  // namespace vorarid
