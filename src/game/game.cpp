#include "game.h"

#include "layouts.h"
#include "messages.h"
#include "neighbours.h"

namespace vorarid {

void Game::click(int cell) {
    // Every neighbour is tried, even after a tile has moved; each test reads
    // the neighbour and the blank afresh. The tile goes into the blank before
    // the clicked cell is cleared, or it would be lost.
    for (int neighbour : neighboursOf(cell)) {
        if (same(board_.cell(neighbour), holders_.s0)) {
            board_.setCell(neighbour, board_.cell(cell));
            board_.setCell(cell, holders_.s0);
        }
    }
    if (cell == 0) checkCompletion();
}

void Game::startNewGame(PuzzleKind kind) {
    kind_ = kind;
    const int layout = layoutFor(forms_.nextRandom());
    for (int cell : dealOrder) {
        const int tile = layoutTile(layout, cell);
        board_.setCell(cell, tile == blankTile ? holders_.s0 : holders_.tile(kind, tile));
    }
}

void Game::giveUp() {
    if (!isDealtKind(kind_)) return;
    for (int n = 1; n <= tilesPerSet; ++n) board_.setCell(n, holders_.tile(kind_, n));
    board_.setCell(0, holders_.s0);
    forms_.messageBox(messages::giveUpPrompt(), messages::giveUpTitle());
}

void Game::viewCompletedPicture() {
    if (kind_ == numberPuzzle) {
        forms_.messageBox(messages::noPhotoPrompt(), messages::noPhotoTitle());
    } else if (isDealtKind(kind_)) {
        forms_.setCompletedPicture(holders_.image(kind_));
        forms_.showCompletedPicture();
    }
}

void Game::checkCompletion() {
    for (int set = 0; set < setCount; ++set) {
        // All 25 comparisons are made; a mismatch does not cut the test short.
        bool inOrder = true;
        for (int n = 1; n <= tilesPerSet; ++n) inOrder &= same(board_.cell(n), holders_.tile(set, n));
        if (inOrder) forms_.showCongratulations();
    }
}

}  // namespace vorarid
