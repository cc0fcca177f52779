#pragma once

#include "board_text.h"
#include "fake_forms.h"
#include "game.h"

namespace vorarid::testing {

// A game over distinct test pictures, with the windows faked.
struct GameFixture {
    FakeForms forms;
    Game game{makeHolders(), forms};

    void set(const QString& text, int set = 0) { setBoard(game.board(), game.holders(), text, set); }
    QString board(int set = 0) const { return describeBoard(game.board(), game.holders(), set); }
    const Picture& blank() const { return game.holders().s0; }
};

// Boards the tests come back to.
inline const QString solvedBoard = QStringLiteral(
    "1 2 3 4 5 / 6 7 8 9 10 / 11 12 13 14 15 / 16 17 18 19 20 / 21 22 23 24 25 | .");
inline const QString lastMoveBoard = QStringLiteral(
    "1 2 3 4 5 / 6 7 8 9 10 / 11 12 13 14 15 / 16 17 18 19 20 / 21 22 23 24 . | 25");
inline const QString emptyBoard = QStringLiteral("- - - - - / - - - - - / - - - - - / - - - - - / - - - - - | -");

}  // namespace vorarid::testing
