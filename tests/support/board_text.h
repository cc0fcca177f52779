#pragma once

#include "board.h"

#include <QString>

#include <array>

namespace vorarid::testing {

// Holders whose 125 tiles and 4 photographs are distinct tiny pictures.
Holders makeHolders();

// Boards written as text, p1..p25 in rows then p0:
//   "5 6 17 7 13 / 8 2 4 10 15 / 16 23 24 19 14 / 3 . 1 21 12 / 22 11 18 20 9 | 25"
// A number is that tile of `set`; a number after a set's prefix ("ss7") is
// that tile of the named set; "." is the blank, "-" an empty cell (the same
// thing, by picture identity). "/" and "|" only help the eye.
void setBoard(Board& board, const Holders& holders, const QString& text, int set = 0);

// The same notation back: set-prefixed tiles where they are not of `set`,
// "?" for a picture that no holder holds.
QString describeBoard(const Board& board, const Holders& holders, int set = 0);

// Tile numbers by cell (0 for the blank), read off the pictures; -1 for a
// tile of another set or a picture no holder holds.
std::array<int, cellCount> tileNumbers(const Board& board, const Holders& holders, int set);

}  // namespace vorarid::testing
