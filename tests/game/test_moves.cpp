// The move rule: which clicks slide a tile, and that nothing else changes.
#include "game_fixture.h"
#include "neighbours.h"

#include <QTest>

using namespace vorarid;
using namespace vorarid::testing;

class TestMoves : public QObject {
    Q_OBJECT

private slots:
    // The table derived independently from the board's geometry: above,
    // left, right, below within the grid, and p0 hanging under p25 alone.
    void neighbourTableFollowsTheBoard() {
        for (int cell = 0; cell < cellCount; ++cell) {
            std::vector<int> expected;
            if (cell == 0) {
                expected = {25};
            } else {
                const int row = rowOf(cell), column = columnOf(cell);
                if (row > 0) expected.push_back(cell - 5);
                if (column > 0) expected.push_back(cell - 1);
                if (column < 4) expected.push_back(cell + 1);
                if (row < 4) expected.push_back(cell + 5);
                if (cell == 25) expected.push_back(0);
            }
            const Neighbours& actual = neighboursOf(cell);
            QCOMPARE(std::vector<int>(actual.begin(), actual.end()), expected);
        }
        // Spot checks against the written table: row ends don't wrap.
        const auto list = [](int cell) { return std::vector<int>(neighboursOf(cell).begin(), neighboursOf(cell).end()); };
        QCOMPARE(list(5), (std::vector<int>{4, 10}));
        QCOMPARE(list(6), (std::vector<int>{1, 7, 11}));
        QCOMPARE(list(20), (std::vector<int>{15, 19, 25}));
        QCOMPARE(list(25), (std::vector<int>{20, 24, 0}));
        QCOMPARE(list(0), (std::vector<int>{25}));
    }

    void clicks_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("clicked");
        QTest::addColumn<QString>("after");
        const QString start = QStringLiteral("1 2 3 4 5 / . 7 8 9 10 / 11 12 13 14 15 / 16 17 18 19 20 / 21 22 23 24 6 | 25");
        QTest::newRow("tile above the blank slides down") << start << 1
            << ". 2 3 4 5 / 1 7 8 9 10 / 11 12 13 14 15 / 16 17 18 19 20 / 21 22 23 24 6 | 25";
        QTest::newRow("tile right of the blank slides left") << start << 7
            << "1 2 3 4 5 / 7 . 8 9 10 / 11 12 13 14 15 / 16 17 18 19 20 / 21 22 23 24 6 | 25";
        QTest::newRow("tile below the blank slides up") << start << 11
            << "1 2 3 4 5 / 11 7 8 9 10 / . 12 13 14 15 / 16 17 18 19 20 / 21 22 23 24 6 | 25";
        QTest::newRow("the blank itself: nothing") << start << 6 << start;
        QTest::newRow("diagonal neighbour: nothing") << start << 2 << start;
        QTest::newRow("across the row end (blank p6, p5 clicked): nothing") << start << 5 << start;
        QTest::newRow("far away: nothing") << start << 13 << start;

        const QString blankAtP0 = solvedBoard;
        QTest::newRow("blank in p0: p25 slides down") << blankAtP0 << 25
            << "1 2 3 4 5 / 6 7 8 9 10 / 11 12 13 14 15 / 16 17 18 19 20 / 21 22 23 24 . | 25";
        QTest::newRow("blank in p0: p24 does not touch it") << blankAtP0 << 24 << blankAtP0;
        QTest::newRow("blank in p0: p20 does not touch it") << blankAtP0 << 20 << blankAtP0;

        QTest::newRow("blank in p25: p0 slides up") << lastMoveBoard << 0 << solvedBoard;
        QTest::newRow("p0 under a tile: nothing moves") << solvedBoard << 0 << solvedBoard;
        const QString blankAtP20 = QStringLiteral("1 2 3 4 5 / 6 7 8 9 10 / 11 12 13 14 15 / 16 17 18 19 . / 21 22 23 24 20 | 25");
        QTest::newRow("blank in p20: p25 goes up, p0 stays") << blankAtP20 << 25
            << "1 2 3 4 5 / 6 7 8 9 10 / 11 12 13 14 15 / 16 17 18 19 20 / 21 22 23 24 . | 25";
        QTest::newRow("blank in p25: p24 slides right") << lastMoveBoard << 24
            << "1 2 3 4 5 / 6 7 8 9 10 / 11 12 13 14 15 / 16 17 18 19 20 / 21 22 23 . 24 | 25";
    }

    void clicks() {
        QFETCH(QString, before);
        QFETCH(int, clicked);
        QFETCH(QString, after);
        GameFixture f;
        f.set(before);
        f.game.click(clicked);
        GameFixture expected;
        expected.set(after);
        QCOMPARE(f.board(), expected.board());
    }

    // The tile that moved is the very picture object that was dealt: identity
    // travels with the picture, not with the cell.
    void identityTravelsWithTheTile() {
        GameFixture f;
        f.set(lastMoveBoard);
        const Picture& tile24 = f.game.holders().tile(0, 24);
        f.game.click(24);
        f.game.click(23);
        QVERIFY(same(f.game.board().cell(25), tile24));
        QVERIFY(same(f.game.board().cell(24), f.game.holders().tile(0, 23)));
        QVERIFY(same(f.game.board().cell(23), f.blank()));
    }

    // A move hands over the picture before clearing the clicked cell, and
    // the later tests of the same click compare with the blank, not with the
    // clicked cell: exactly one tile moves and one blank remains.
    void oneMovePerClickAndOneBlank() {
        GameFixture f;
        f.set(QStringLiteral("1 2 3 4 5 / 6 . 8 9 10 / 11 12 13 14 15 / 16 17 18 19 20 / 21 22 23 24 7 | 25"));
        f.game.click(8);  // neighbours p3, p7 (blank), p9, p13
        QCOMPARE(f.board(), QStringLiteral("1 2 3 4 5 / 6 8 . 9 10 / 11 12 13 14 15 / 16 17 18 19 20 / 21 22 23 24 7 | 25"));
    }

    void clicksOnTheEmptyBoardChangeNothing() {
        GameFixture f;
        for (int cell = 0; cell < cellCount; ++cell) {
            f.game.click(cell);
            for (int c = 0; c < cellCount; ++c) QVERIFY(f.game.board().cell(c).isEmpty());
        }
        QCOMPARE(f.board(), QString(emptyBoard).replace(u'-', u'.'));
        QCOMPARE(f.forms.congratulations, 0);
        QCOMPARE(f.game.kind(), noPuzzle);
    }

    void anEmptyCellIsTheBlank() {
        GameFixture f;
        QVERIFY(same(f.game.board().cell(7), f.blank()));
        f.set(solvedBoard);
        QVERIFY(!same(f.game.board().cell(7), f.blank()));
        QVERIFY(same(f.game.board().cell(0), Picture()));
    }
};

QTEST_GUILESS_MAIN(TestMoves)
#include "test_moves.moc"
