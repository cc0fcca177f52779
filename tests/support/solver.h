#pragma once

#include <array>
#include <vector>

namespace vorarid::testing {

// Solves a dealt board: `tiles[cell]` is the tile number in p0..p25, 0 for
// the blank, with tile 25 in p0 and the blank in the grid. Returns the cells
// to click, in order, to bring tiles 1..24 into p1..p24 with the blank in p25,
// ending with p0, which slides tile 25 home. Empty if the board is not solvable.
std::vector<int> solveClicks(const std::array<int, 26>& tiles);

// Plays `clicks` on `tiles` by the game's rule: a clicked tile next to the
// blank slides into it. Used to check the solver without the game.
void playClicks(std::array<int, 26>& tiles, const std::vector<int>& clicks);

}  // namespace vorarid::testing
