#pragma once

#include <array>
#include <cstdint>

namespace vorarid {

constexpr int layoutCount = 4;
constexpr int blankTile = 0;  // in a layout, the cell that gets the blank

// The cells in the order a new game deals them: p1..p25, then p0.
constexpr std::array<int, 26> dealOrder{1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13,
                                        14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 0};

// Tile number (or blankTile) that scrambled layout `layout` (1..4) puts into `cell` (p0..p25).
int layoutTile(int layout, int cell);

// The layout a random value u, 0 <= u < 1, picks: 1..4, each equally likely.
int layoutFor(double u);

}  // namespace vorarid
