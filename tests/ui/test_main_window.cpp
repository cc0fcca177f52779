// The main window as a player meets it: its size, the board's geometry, the
// menu, the start state, and clicks on real cells.
#include "board_text.h"
#include "main_window.h"
#include "quiet_windows.h"
#include "pictures.h"
#include "startup.h"

#include <QAccessible>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

using namespace vorarid;
using namespace vorarid::testing;

namespace {

QStringList captions(const QMenu* menu) {
    QStringList result;
    for (const QAction* action : menu->actions()) result << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return result;
}

}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

    const Pictures& pictures_ = programPictures();

private slots:
    void windowShape() {
        QuietWindows windows;
        Vorarid window(pictures_.holders, windows);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QCOMPARE(window.windowTitle(), QStringLiteral("Vorarid  "));
        QCOMPARE(window.centralWidget()->size(), QSize(242, 289));
        QCOMPARE(window.centralWidget()->y(), window.menuBar()->height());  // the client area is below the menu bar
        QCOMPARE(window.minimumSize(), window.maximumSize());                // fixed border
        QVERIFY(window.windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(!(window.windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(window.frameGeometry().topLeft(), QPoint(267, 133));  // 4000, 2000 twips

        // Cells 49 px square at a 48 px pitch, so neighbours share a border line;
        // p0 alone under p25.
        for (int cell = 1; cell <= 25; ++cell) {
            const int r = (cell - 1) / 5, c = (cell - 1) % 5;
            QCOMPARE(window.cell(cell)->geometry(), QRect(48 * c, 48 * r, 49, 49));
        }
        QCOMPARE(window.cell(0)->geometry(), QRect(192, 240, 49, 49));
        for (int cell = 0; cell < cellCount; ++cell) QCOMPARE(window.cell(cell)->parentWidget(), window.centralWidget());
    }

    void menu() {
        QuietWindows windows;
        Vorarid window(pictures_.holders, windows);
        QStringList titles;
        for (const QAction* action : window.menuBar()->actions()) titles << action->text();
        QCOMPARE(titles, (QStringList{QStringLiteral("시작"), QStringLiteral("도움말")}));
        QCOMPARE(captions(window.시작), (QStringList{QStringLiteral("새게임"), QStringLiteral("완성사진보기"),
                                                     QStringLiteral("포기"), QStringLiteral("-"), QStringLiteral("끝내기")}));
        QCOMPARE(captions(window.새게임), (QStringList{QStringLiteral("Deveder"), QStringLiteral("Rezovo"), QStringLiteral("Dozud"),
                                                       QStringLiteral("Zede"), QStringLiteral("숫자퍼즐")}));
        QCOMPARE(captions(window.도움말), (QStringList{QStringLiteral("도움말"), QStringLiteral("만든이")}));
        QCOMPARE(window.시작->menuAction()->menu(), window.시작);
        QCOMPARE(window.새게임->menuAction(), window.시작->actions().first());

        // No access keys, no shortcuts, all enabled, none checkable.
        const QList<QMenu*> menus{window.시작, window.새게임, window.도움말};
        for (const QMenu* menu : menus) {
            QVERIFY(!menu->title().contains(u'&'));
            for (const QAction* action : menu->actions()) {
                QVERIFY(!action->text().contains(u'&'));
                QVERIFY(action->shortcut().isEmpty());
                QVERIFY(action->isEnabled() && action->isVisible() && !action->isCheckable());
            }
        }
    }

    // Each new-game command deals its own kind's set.
    void newGameCommands() {
        QuietWindows windows;
        Vorarid window(pictures_.holders, windows);
        const QList<std::pair<QAction*, int>> commands{{window.숫자퍼즐, 0}, {window.Dozud, 1}, {window.Zede, 2},
                                                       {window.Deveder, 3}, {window.Rezovo, 4}};
        for (const auto& [action, kind] : commands) {
            action->trigger();
            QCOMPARE(window.game().kind(), PuzzleKind(kind));
            QCOMPARE(describeBoard(window.game().board(), window.game().holders(), kind),
                     QStringLiteral("5 6 17 7 13 / 8 2 4 10 15 / 16 23 24 19 14 / 3 . 1 21 12 / 22 11 18 20 9 | 25"));
        }
    }

    void startStateAndClicks() {
        QuietWindows windows;
        Vorarid window(pictures_.holders, windows);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.game().kind(), noPuzzle);
        for (int cell = 0; cell < cellCount; ++cell) {
            QVERIFY(window.cell(cell)->picture().isEmpty());
            QTest::mouseClick(window.cell(cell), Qt::LeftButton);  // every cell counts as blank: nothing shows
            QVERIFY(window.cell(cell)->picture().isEmpty());
        }

        window.숫자퍼즐->trigger();  // layout 1: the blank in p17, tile 23 above it in p12
        const Picture tile23 = window.game().holders().tile(0, 23);
        QVERIFY(same(window.cell(12)->picture(), tile23));
        QTest::mouseClick(window.cell(12), Qt::LeftButton);
        QVERIFY(same(window.cell(17)->picture(), tile23));
        QVERIFY(window.cell(12)->picture().isEmpty());

        // A press on one cell released over another is no click.
        QTest::mousePress(window.cell(17), Qt::LeftButton);
        QTest::mouseRelease(window.cell(17), Qt::LeftButton, {}, QPoint(-20, 10));
        QVERIFY(same(window.cell(17)->picture(), tile23));
        // Nor is the right button.
        QTest::mouseClick(window.cell(17), Qt::RightButton);
        QVERIFY(same(window.cell(17)->picture(), tile23));
    }

    // A screen reader hears each cell's place and tile, can press it, and
    // hears the change after a move.
    void cellsSpeak() {
        QuietWindows windows;
        Vorarid window(pictures_.holders, windows);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.cell(7)->accessibleName(), QStringLiteral("2줄 2칸: 빈칸"));  // before any game

        window.숫자퍼즐->trigger();  // layout 1
        QCOMPARE(window.cell(1)->accessibleName(), QStringLiteral("1줄 1칸: 숫자 5"));
        QCOMPARE(window.cell(17)->accessibleName(), QStringLiteral("4줄 2칸: 빈칸"));
        QCOMPARE(window.cell(0)->accessibleName(), QStringLiteral("마지막칸: 숫자 25"));

        QAccessibleInterface* cell12 = QAccessible::queryAccessibleInterface(window.cell(12));
        QVERIFY(cell12);
        QCOMPARE(cell12->role(), QAccessible::Button);
        QCOMPARE(cell12->text(QAccessible::Name), QStringLiteral("3줄 2칸: 숫자 23"));
        QVERIFY(cell12->actionInterface());
        cell12->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(window.cell(12)->accessibleName(), QStringLiteral("3줄 2칸: 빈칸"));
        QCOMPARE(window.cell(17)->accessibleName(), QStringLiteral("4줄 2칸: 숫자 23"));

        window.Zede->trigger();
        QCOMPARE(window.cell(1)->accessibleName(), QStringLiteral("1줄 1칸: Zede 사진 1줄 5칸 조각"));
        QCOMPARE(window.cell(0)->accessibleName(), QStringLiteral("마지막칸: Zede 사진 5줄 5칸 조각"));
    }

    // A cell draws its tile unscaled from just inside its border.
    void cellsDrawTheirTileUnscaled() {
        QuietWindows windows;
        Vorarid window(pictures_.holders, windows);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.Dozud->trigger();
        const QImage shown = window.cell(1)->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage tile = *window.game().holders().tile(1, 5).image();  // layout 1 puts tile 5 in p1
        QCOMPARE(shown.size(), QSize(49, 49));
        for (const QPoint p : {QPoint(0, 0), QPoint(23, 17), QPoint(46, 46)})
            QCOMPARE(shown.pixel(p + QPoint(1, 1)), tile.pixel(p));
        QCOMPARE(shown.pixel(0, 0), shown.pixel(48, 48));  // the border, one colour all round
        QVERIFY(shown.pixel(0, 0) != tile.pixel(0, 0) || shown.pixel(0, 20) != tile.pixel(0, 19));
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
