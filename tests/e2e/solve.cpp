// Reads a board as 26 tile numbers for p0..p25 (0 for the blank) and prints
// the cells to click, in order, to finish it. The end-to-end driver plays
// these clicks on the real window; the solver itself is the one the game
// tests already trust.
#include "solver.h"

#include <array>
#include <iostream>

int main() {
    std::array<int, 26> tiles{};
    for (int& tile : tiles) {
        if (!(std::cin >> tile)) {
            std::cerr << "vorarid_solve: expected 26 tile numbers for p0..p25\n";
            return 2;
        }
    }
    const std::vector<int> clicks = vorarid::testing::solveClicks(tiles);
    if (clicks.empty()) {
        std::cerr << "vorarid_solve: this board cannot be solved\n";
        return 1;
    }
    for (size_t i = 0; i < clicks.size(); ++i) std::cout << (i ? " " : "") << clicks[i];
    std::cout << '\n';
    return 0;
}
