#pragma once

#include "board.h"
#include "forms.h"

namespace vorarid {

// The rules of play. The game state is the pictures the cells show plus the
// puzzle kind; nothing else (no tile numbers, no blank position, no move count).
class Game {
public:
    Game(Holders holders, Forms& forms) : holders_(std::move(holders)), forms_(forms) {}

    const Board& board() const { return board_; }
    Board& board() { return board_; }
    const Holders& holders() const { return holders_; }

    PuzzleKind kind() const { return kind_; }
    void setKind(PuzzleKind kind) { kind_ = kind; }

    // A click on cell p0..p25: slides the clicked tile into a neighbouring
    // blank. A click on p0 then looks for a finished board.
    void click(int cell);

    // Deals kind 0..4 in one of the four scrambled layouts, drawn at random.
    void startNewGame(PuzzleKind kind);

    // Puts the current puzzle in order, blank in p0, and says how to finish.
    void giveUp();

    // Shows the current photo puzzle's photograph, or explains why there is none.
    void viewCompletedPicture();

    // Opens the congratulations window for each tile set the grid shows in order.
    void checkCompletion();

private:
    static bool isDealtKind(PuzzleKind kind) { return kind >= numberPuzzle && kind <= photoCount; }

    Holders holders_;
    Board board_;
    Forms& forms_;
    PuzzleKind kind_ = noPuzzle;
};

}  // namespace vorarid
