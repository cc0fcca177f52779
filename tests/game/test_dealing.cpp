// New games: the four scrambled layouts, the draw that picks one, and the
// fixed random sequence.
#include "game_fixture.h"
#include "layouts.h"
#include "uniform_sequence.h"

#include <QTest>

#include <cmath>

using namespace vorarid;
using namespace vorarid::testing;

namespace {

// The four layouts as a player would copy them off the screen.
const QStringList layoutBoards{
    QStringLiteral("5 6 17 7 13 / 8 2 4 10 15 / 16 23 24 19 14 / 3 . 1 21 12 / 22 11 18 20 9 | 25"),
    QStringLiteral("23 . 24 5 8 / 14 3 9 10 4 / 17 22 16 13 2 / 18 11 12 1 15 / 7 6 21 20 19 | 25"),
    QStringLiteral("18 22 4 1 9 / 7 24 3 17 5 / 10 11 14 23 21 / 16 2 . 19 12 / 13 8 6 15 20 | 25"),
    QStringLiteral("14 13 6 16 19 / 17 18 23 2 24 / 11 7 5 8 . / 22 1 20 12 4 / 3 21 15 10 9 | 25"),
};

// The u that deals layout r.
double drawFor(int layout) { return (layout - 1) / 4.0 + 0.1; }

}  // namespace

class TestDealing : public QObject {
    Q_OBJECT

private slots:
    void everyLayoutForEveryKind_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("layout");
        for (int kind = 0; kind <= 4; ++kind)
            for (int layout = 1; layout <= 4; ++layout)
                QTest::addRow("kind %d, layout %d", kind, layout) << kind << layout;
    }

    // Each cell gets the holder's own picture of the chosen set; the kind is
    // stored before the one draw is made.
    void everyLayoutForEveryKind() {
        QFETCH(int, kind);
        QFETCH(int, layout);
        GameFixture f;
        f.set(solvedBoard, kind == 0 ? 1 : 0);  // another set's game under way
        PuzzleKind kindAtDraw = -1;
        f.forms.onDraw = [&] { kindAtDraw = f.game.kind(); };
        f.forms.randoms = {drawFor(layout)};

        f.game.startNewGame(PuzzleKind(kind));

        QCOMPARE(kindAtDraw, PuzzleKind(kind));
        QCOMPARE(f.game.kind(), PuzzleKind(kind));
        QCOMPARE(f.forms.draws, 1);
        QCOMPARE(f.board(kind), layoutBoards[layout - 1]);
        QVERIFY(f.forms.messages.isEmpty());
        QCOMPARE(f.forms.congratulations, 0);
    }

    void drawPicksTheLayout() {
        QCOMPARE(layoutFor(0.0), 1);
        QCOMPARE(layoutFor(0.2499999), 1);
        QCOMPARE(layoutFor(0.25), 2);
        QCOMPARE(layoutFor(0.5), 3);
        QCOMPARE(layoutFor(0.75), 4);
        QCOMPARE(layoutFor(std::nextafter(1.0, 0.0)), 4);
    }

    // Solvable (an even number of inversions on a five-wide grid), every tile
    // once, tile 25 waiting in p0, and never already finished.
    void layoutsAreFairPuzzles() {
        const int inversions[] = {106, 134, 126, 154};
        for (int layout = 1; layout <= 4; ++layout) {
            std::vector<int> grid;
            QList<int> seen;
            for (int cell = 1; cell <= 25; ++cell) {
                const int tile = layoutTile(layout, cell);
                seen << tile;
                if (tile != blankTile) grid.push_back(tile);
            }
            seen << layoutTile(layout, 0);
            std::sort(seen.begin(), seen.end());
            for (int i = 0; i <= 25; ++i) QCOMPARE(seen[i], i);
            QCOMPARE(layoutTile(layout, 0), 25);

            int count = 0;
            for (size_t i = 0; i < grid.size(); ++i)
                for (size_t j = i + 1; j < grid.size(); ++j) count += grid[i] > grid[j];
            QCOMPARE(count, inversions[layout - 1]);

            GameFixture f;
            f.forms.randoms = {drawFor(layout)};
            f.game.startNewGame(0);
            f.game.click(0);  // p25 holds a tile: nothing moves, and the board is not finished
            QCOMPARE(f.board(), layoutBoards[layout - 1]);
            QCOMPARE(f.forms.congratulations, 0);
        }
    }

    void aNewGameReplacesEveryCell() {
        GameFixture f;
        f.forms.randoms = {drawFor(1), drawFor(1)};
        f.game.startNewGame(2);
        f.game.click(12);  // a move in the half-played Zede game
        f.game.startNewGame(4);
        QCOMPARE(f.board(4), layoutBoards[0]);  // no tile of set 2 is left, p0 included
        QCOMPARE(f.game.kind(), PuzzleKind(4));
    }

    // The program never seeds its generator: every run draws the same values,
    // so the first game after start is always the same layout.
    void theSequenceRepeatsFromRunToRun() {
        UniformSequence first, second;
        int counts[5] = {};
        for (int i = 0; i < 40000; ++i) {
            const double u = first.next();
            QCOMPARE(u, second.next());
            QVERIFY(u >= 0.0 && u < 1.0);
            ++counts[layoutFor(u)];
        }
        for (int layout = 1; layout <= 4; ++layout) QVERIFY2(std::abs(counts[layout] - 10000) < 500, "layouts drawn unevenly");
        QCOMPARE(layoutFor(UniformSequence().next()), layoutFor(UniformSequence().next()));
    }
};

QTEST_GUILESS_MAIN(TestDealing)
#include "test_dealing.moc"
