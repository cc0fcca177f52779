// Finishing a puzzle: the check on p0, whole games played to the end,
// giving up, and the completed photograph.
#include "game_fixture.h"
#include "layouts.h"
#include "solver.h"

#include <QTest>

using namespace vorarid;
using namespace vorarid::testing;

namespace {

const QString giveUpPrompt = QStringLiteral(
    "음...... 어려운가여????....그래도 축하메세지를 보고싶으면 지금 마지막칸을 클릭해 보셔여.. 근대 아무래도 성취감이 없게져? ....");
const QString noPhotoPrompt = QStringLiteral("숫자퍼즐은 완성사진이 없음다...^^;  그냥 1~25까지 순서대로 맞추면 됨다....");

}  // namespace

class TestFinishing : public QObject {
    Q_OBJECT

private slots:
    void completionCheck_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("clicked");
        QTest::addColumn<int>("shown");
        QTest::newRow("last move from p0") << lastMoveBoard << 0 << 1;
        QTest::newRow("p0 on a finished board") << solvedBoard << 0 << 1;
        QTest::newRow("two grid tiles exchanged")
            << "1 2 3 4 5 / 6 7 8 9 10 / 11 12 14 13 15 / 16 17 18 19 20 / 21 22 23 24 . | 25" << 0 << 0;
        QTest::newRow("grid cell on a finished board") << solvedBoard << 24 << 0;
        QTest::newRow("last move into p25 from a grid cell")
            << "1 2 3 4 5 / 6 7 8 9 10 / 11 12 13 14 15 / 16 17 18 19 . / 21 22 23 24 20 | 25" << 25 << 0;
        QTest::newRow("empty board") << emptyBoard << 0 << 0;
        QTest::newRow("two sets mixed")
            << "1 2 3 4 5 / 6 7 8 9 10 / 11 12 13 14 15 / 16 17 18 19 20 / 21 22 23 24 ss25 | ." << 0 << 0;
        QTest::newRow("p0 is not looked at") << "1 2 3 4 5 / 6 7 8 9 10 / 11 12 13 14 15 / 16 17 18 19 20 / 21 22 23 24 25 | ss3"
                                             << 0 << 1;
    }

    void completionCheck() {
        QFETCH(QString, before);
        QFETCH(int, clicked);
        QFETCH(int, shown);
        GameFixture f;
        f.set(before);
        f.game.click(clicked);
        QCOMPARE(f.forms.congratulations, shown);
    }

    // The check reads no puzzle kind: any one set in order is recognised.
    void everySetIsRecognised() {
        for (int set = 0; set < setCount; ++set) {
            GameFixture f;
            f.set(lastMoveBoard, set);
            f.game.click(0);
            QCOMPARE(f.board(set), solvedBoard);
            QCOMPARE(f.forms.congratulations, 1);
            f.game.click(0);  // again: the window is asked for again
            QCOMPARE(f.forms.congratulations, 2);
        }
    }

    void everyLayoutPlayedToTheEnd_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("layout");
        for (int kind = 0; kind <= 4; ++kind)
            for (int layout = 1; layout <= 4; ++layout) QTest::addRow("kind %d, layout %d", kind, layout) << kind << layout;
    }

    // Dealt, solved through the real click rule, congratulated exactly once,
    // at the very last click.
    void everyLayoutPlayedToTheEnd() {
        QFETCH(int, kind);
        QFETCH(int, layout);
        GameFixture f;
        f.forms.randoms = {(layout - 1) / 4.0};
        f.game.startNewGame(PuzzleKind(kind));

        const std::vector<int> clicks = solveClicks(tileNumbers(f.game.board(), f.game.holders(), kind));
        QVERIFY(!clicks.empty());
        for (size_t i = 0; i + 1 < clicks.size(); ++i) {
            f.game.click(clicks[i]);
            QCOMPARE(f.forms.congratulations, 0);
        }
        QCOMPARE(f.board(kind), lastMoveBoard);
        f.game.click(0);
        QCOMPARE(f.board(kind), solvedBoard);
        QCOMPARE(f.forms.congratulations, 1);

        // The finished board stays playable.
        f.game.click(25);
        QCOMPARE(f.board(kind), lastMoveBoard);
        f.game.click(0);
        QCOMPARE(f.forms.congratulations, 2);
    }

    void giveUp() {
        for (int kind = 0; kind <= 4; ++kind) {
            GameFixture f;
            f.forms.randoms = {0.6};
            f.game.startNewGame(PuzzleKind(kind));
            f.game.click(19);

            f.game.giveUp();
            QCOMPARE(f.board(kind), solvedBoard);
            QCOMPARE(f.game.kind(), PuzzleKind(kind));
            QCOMPARE(f.forms.messages.size(), 1);
            QCOMPARE(f.forms.messages[0].prompt, giveUpPrompt);
            QCOMPARE(f.forms.messages[0].title, QStringLiteral("음...."));
            QCOMPARE(f.forms.congratulations, 0);

            // "Click the last cell": it moves nothing and congratulates.
            f.game.click(0);
            QCOMPARE(f.forms.congratulations, 1);
        }
    }

    void giveUpThenPlayOn() {
        GameFixture f;
        f.game.startNewGame(3);
        f.set(lastMoveBoard, 1);  // whatever the board shows, kind 3 decides the set
        f.game.giveUp();
        QCOMPARE(f.board(3), solvedBoard);

        f.game.click(25);  // tile 25 slides down into the blank p0
        QCOMPARE(f.board(3), lastMoveBoard);
        f.game.giveUp();  // twice: the same board, the message again
        f.game.giveUp();
        QCOMPARE(f.board(3), solvedBoard);
        QCOMPARE(f.forms.messages.size(), 3);
        f.game.click(25);
        f.game.click(0);  // slides it back: finished
        QCOMPARE(f.forms.congratulations, 1);
    }

    void giveUpBeforeAnyGameDoesNothing() {
        GameFixture f;
        f.game.giveUp();
        QCOMPARE(f.board(), QString(emptyBoard).replace(u'-', u'.'));
        QVERIFY(f.forms.messages.isEmpty());
        QCOMPARE(f.game.kind(), noPuzzle);
    }

    void completedPicture() {
        GameFixture f;
        f.game.viewCompletedPicture();  // nothing dealt yet: nothing at all
        QVERIFY(f.forms.messages.isEmpty());
        QVERIFY(f.forms.calls.isEmpty());

        f.game.startNewGame(0);
        f.game.viewCompletedPicture();
        QCOMPARE(f.forms.messages.size(), 1);
        QCOMPARE(f.forms.messages[0].prompt, noPhotoPrompt);
        QCOMPARE(f.forms.messages[0].title, QStringLiteral("죄송함다..^^;"));
        QVERIFY(f.forms.calls.isEmpty());

        for (int kind = 1; kind <= 4; ++kind) {
            f.forms.calls.clear();
            f.game.startNewGame(PuzzleKind(kind));
            f.game.viewCompletedPicture();
            f.game.viewCompletedPicture();
            QCOMPARE(f.forms.calls, QStringLiteral("set show set show "));
            QVERIFY(same(f.forms.completedPicture, f.game.holders().image(kind)));
        }
        QCOMPARE(f.forms.messages.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestFinishing)
#include "test_finishing.moc"
