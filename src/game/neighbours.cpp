#include "neighbours.h"

#include <array>

namespace vorarid {
namespace {

// clang-format off
constexpr std::array<Neighbours, 26> table{{
    /* p0  */ {25},
    /* p1  */ {2, 6},
    /* p2  */ {1, 3, 7},
    /* p3  */ {2, 4, 8},
    /* p4  */ {3, 5, 9},
    /* p5  */ {4, 10},
    /* p6  */ {1, 7, 11},
    /* p7  */ {2, 6, 8, 12},
    /* p8  */ {3, 7, 9, 13},
    /* p9  */ {4, 8, 10, 14},
    /* p10 */ {5, 9, 15},
    /* p11 */ {6, 12, 16},
    /* p12 */ {7, 11, 13, 17},
    /* p13 */ {8, 12, 14, 18},
    /* p14 */ {9, 13, 15, 19},
    /* p15 */ {10, 14, 20},
    /* p16 */ {11, 17, 21},
    /* p17 */ {12, 16, 18, 22},
    /* p18 */ {13, 17, 19, 23},
    /* p19 */ {14, 18, 20, 24},
    /* p20 */ {15, 19, 25},
    /* p21 */ {16, 22},
    /* p22 */ {17, 21, 23},
    /* p23 */ {18, 22, 24},
    /* p24 */ {19, 23, 25},
    /* p25 */ {20, 24, 0},
}};
// clang-format on

}  // namespace

const Neighbours& neighboursOf(int cell) { return table.at(cell); }

}  // namespace vorarid
