#include "layouts.h"

#include <cmath>

namespace vorarid {
namespace {

constexpr std::int8_t _ = blankTile;

// One row per cell in dealing order, one column per layout.
// clang-format off
constexpr std::array<std::array<std::int8_t, layoutCount>, 26> layouts{{
    //        1   2   3   4
    /* p1  */ {5, 23, 18, 14},
    /* p2  */ {6,  _, 22, 13},
    /* p3  */ {17, 24, 4,  6},
    /* p4  */ {7,  5,  1, 16},
    /* p5  */ {13, 8,  9, 19},
    /* p6  */ {8, 14,  7, 17},
    /* p7  */ {2,  3, 24, 18},
    /* p8  */ {4,  9,  3, 23},
    /* p9  */ {10, 10, 17, 2},
    /* p10 */ {15, 4,  5, 24},
    /* p11 */ {16, 17, 10, 11},
    /* p12 */ {23, 22, 11, 7},
    /* p13 */ {24, 16, 14, 5},
    /* p14 */ {19, 13, 23, 8},
    /* p15 */ {14, 2, 21,  _},
    /* p16 */ {3, 18, 16, 22},
    /* p17 */ {_, 11,  2,  1},
    /* p18 */ {1, 12,  _, 20},
    /* p19 */ {21, 1, 19, 12},
    /* p20 */ {12, 15, 12, 4},
    /* p21 */ {22, 7, 13,  3},
    /* p22 */ {11, 6,  8, 21},
    /* p23 */ {18, 21, 6, 15},
    /* p24 */ {20, 20, 15, 10},
    /* p25 */ {9, 19, 20,  9},
    /* p0  */ {25, 25, 25, 25},
}};
// clang-format on

}  // namespace

int layoutTile(int layout, int cell) {
    const int row = cell == 0 ? 25 : cell - 1;
    return layouts.at(row).at(layout - 1);
}

int layoutFor(double u) {
    // floor(u * 4 + 1) would be the same in exact arithmetic, but for u just
    // below 1 the sum rounds up to 5 in floating point: there is no layout 5.
    return static_cast<int>(std::floor(u * 4)) + 1;
}

}  // namespace vorarid
