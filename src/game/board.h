#pragma once

#include "picture.h"

#include <array>
#include <cstdint>
#include <functional>

namespace vorarid {

// Cells are numbered as the board names them: p1..p25 the 5 x 5 grid in rows
// from the top-left, p0 the extra cell under p25.
constexpr int cellCount = 26;
constexpr int tilesPerSet = 25;
constexpr int setCount = 5;
constexpr int photoCount = 4;

constexpr int rowOf(int cell) { return cell == 0 ? 5 : (cell - 1) / 5; }     // 0-based
constexpr int columnOf(int cell) { return cell == 0 ? 4 : (cell - 1) % 5; }  // 0-based

// Which puzzle was dealt last. 16 bits, like the rest of the board's numbers.
using PuzzleKind = std::int16_t;
constexpr PuzzleKind numberPuzzle = 0;  // 1..4 are the photo puzzles
constexpr PuzzleKind noPuzzle = 7;      // nothing dealt since start

// What a picture is to the game: tile `number` (1..25) of set `set` (0..4),
// the blank (number 0), or a picture that no holder holds (set and number -1).
struct TileName {
    int set = -1;
    int number = -1;
    bool isBlank() const { return number == 0; }
    friend bool operator==(const TileName&, const TileName&) = default;
};

// The pictures the game deals from. None of them is ever shown as it is.
struct Holders {
    Picture s0;  // the blank: holds no picture, so it is the same as any empty cell
    // sets[0] is s1..s25 (numbers), sets[1] ss1..ss25, ... sets[4] sssss1..sssss25.
    std::array<std::array<Picture, tilesPerSet>, setCount> sets;
    // Image1..Image4: the finished photographs of kinds 1..4.
    std::array<Picture, photoCount> images;

    // Tile n (1..25) of the set with index `set` (0..4); the set index is the puzzle kind.
    const Picture& tile(int set, int n) const { return sets.at(set).at(n - 1); }
    // Image1..Image4 by number.
    const Picture& image(int number) const { return images.at(number - 1); }

    // Which tile, if any, a picture is, by identity with the holders.
    TileName identify(const Picture& picture) const {
        if (same(picture, s0)) return {-1, 0};
        for (int set = 0; set < setCount; ++set)
            for (int n = 1; n <= tilesPerSet; ++n)
                if (same(picture, tile(set, n))) return {set, n};
        return {};
    }
};

// The 26 cells. The game keeps no other record of where tiles lie: which tile
// a cell shows is known only by comparing its picture with the holders'.
class Board {
public:
    const Picture& cell(int number) const { return cells_.at(number); }

    void setCell(int number, const Picture& picture) {
        cells_.at(number) = picture;
        if (onCellChanged_) onCellChanged_(number);
    }

    // Called after every write to a cell, so a view can repaint just that cell.
    void onCellChanged(std::function<void(int)> callback) { onCellChanged_ = std::move(callback); }

private:
    std::array<Picture, cellCount> cells_;
    std::function<void(int)> onCellChanged_;
};

}  // namespace vorarid
