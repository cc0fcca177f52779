// The four small windows: one of each at most, where they open, what they
// say, and how they close; and a real message box answered by a click.
#include "main_window.h"
#include "quiet_windows.h"
#include "pictures.h"
#include "startup.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>

using namespace vorarid;
using namespace vorarid::testing;

namespace {

void settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

int visibleWindows() {
    int count = 0;
    for (const QWidget* window : QApplication::topLevelWidgets()) count += window->isVisible();
    return count;
}

bool fillsBackground(const QLabel* label, const QColor& foreground, const QColor& background) {
    return label->autoFillBackground() && label->palette().color(QPalette::WindowText) == foreground &&
           label->palette().color(QPalette::Window) == background;
}

bool wrapsLeftTop(const QLabel* label) {
    return label->wordWrap() && label->alignment() == (Qt::AlignLeft | Qt::AlignTop) &&
           label->textFormat() == Qt::PlainText;
}

}  // namespace

class TestWindows : public QObject {
    Q_OBJECT

    const Pictures& pictures_ = programPictures();

private slots:
    void cleanup() {
        for (QWidget* window : QApplication::topLevelWidgets()) window->close();
        settle();
    }

    // Shown twice: one window, brought back where the player left it. Closed
    // and shown again: a fresh window at its start position.
    void helpAndCreditsAreSingleAndStartAfresh() {
        QuietWindows windows;
        Vorarid main(pictures_.holders, windows);
        main.show();

        struct Case {
            QAction* command;
            std::function<QWidget*()> open;
            std::function<QPushButton*()> ok;
            QPoint start;
        };
        const QList<Case> cases{
            {main.돔말, [&] { return windows.help.open(); }, [&] { return windows.help.open()->Command1; }, {267, 167}},
            {main.만든이, [&] { return windows.credits.open(); }, [&] { return windows.credits.open()->Command1; }, {200, 133}},
        };
        for (const Case& c : cases) {
            QVERIFY(c.open() == nullptr);
            c.command->trigger();
            QWidget* first = c.open();
            QVERIFY(first && first->isVisible());
            QCOMPARE(first->frameGeometry().topLeft(), c.start);
            QVERIFY(first->parentWidget() == nullptr);  // ownerless: no window holds another

            first->move(40, 50);  // the player drags it away
            c.command->trigger();
            QCOMPARE(c.open(), first);
            QCOMPARE(first->pos(), QPoint(40, 50));
            int count = 0;
            for (QWidget* w : QApplication::topLevelWidgets()) count += w->isVisible() && w->windowTitle() == first->windowTitle();
            QCOMPARE(count, 1);

            QTest::mouseClick(c.ok(), Qt::LeftButton);  // 확인 closes and destroys it
            settle();
            QVERIFY(c.open() == nullptr);
            c.command->trigger();
            QVERIFY(c.open() != nullptr);
            QCOMPARE(c.open()->frameGeometry().topLeft(), c.start);

            c.open()->close();  // the close box does the same
            settle();
            QVERIFY(c.open() == nullptr);
            QVERIFY(main.isVisible());
        }
    }

    void completedPictureAndCongratulations() {
        QuietWindows windows;
        Vorarid main(pictures_.holders, windows);
        main.show();

        main.Dozud->trigger();
        main.완성사진보기->trigger();
        WAN1* picture = windows.completedPicture.open();
        QVERIFY(picture && picture->isVisible());
        QCOMPARE(picture->frameGeometry().topLeft(), QPoint(267, 133));
        QVERIFY(same(picture->picture(), pictures_.holders.image(1)));
        // 234 px of a 235 px photograph: unscaled, the last row and column fall outside.
        const QImage shown = picture->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shown.size(), QSize(234, 234));
        QCOMPARE(shown.pixel(233, 233), pictures_.holders.image(1).image()->pixel(233, 233));
        QCOMPARE(shown.pixel(0, 0), pictures_.holders.image(1).image()->pixel(0, 0));

        // Another photo puzzle: the same window, the new photograph.
        picture->move(10, 10);
        main.Rezovo->trigger();
        main.완성사진보기->trigger();
        QCOMPARE(windows.completedPicture.open(), picture);
        QVERIFY(same(picture->picture(), pictures_.holders.image(4)));
        QCOMPARE(picture->pos(), QPoint(10, 10));

        // The number puzzle has no photograph; the open window stays as it was.
        main.숫자퍼즐->trigger();
        main.완성사진보기->trigger();
        QVERIFY(same(picture->picture(), pictures_.holders.image(4)));

        main.포기->trigger();
        QTest::mouseClick(main.cell(0), Qt::LeftButton);
        축하1* congratulations = windows.congratulations.open();
        QVERIFY(congratulations && congratulations->isVisible());
        QCOMPARE(congratulations->frameGeometry().topLeft(), QPoint(267, 200));
        QTest::mouseClick(main.cell(0), Qt::LeftButton);  // again: still one window
        QCOMPARE(windows.congratulations.open(), congratulations);
        QVERIFY(congratulations->findChildren<QAbstractButton*>().isEmpty());  // only its close box closes it

        // A new game leaves them open; everything open at once, the board still plays.
        main.Zede->trigger();
        main.돔말->trigger();
        main.만든이->trigger();
        QVERIFY(windows.congratulations.open() && windows.completedPicture.open() && windows.help.open() &&
                windows.credits.open());
        const Picture moving = main.cell(12)->picture();
        QTest::mouseClick(main.cell(12), Qt::LeftButton);
        QVERIFY(same(main.cell(17)->picture(), moving));

        // Closed, then asked for again before the event loop has destroyed
        // it: a fresh window at its start place, not the one on its way out.
        congratulations->move(30, 40);
        congratulations->close();
        QVERIFY(windows.congratulations.open() == nullptr);
        main.포기->trigger();
        QTest::mouseClick(main.cell(0), Qt::LeftButton);
        축하1* fresh = windows.congratulations.open();
        QVERIFY(fresh && fresh != congratulations && fresh->isVisible());
        QCOMPARE(fresh->frameGeometry().topLeft(), QPoint(267, 200));
        settle();
        QCOMPARE(windows.congratulations.open(), fresh);
        QVERIFY(fresh->isVisible());
    }

    // Captions, sizes, labels, colours and fonts, exactly.
    void designs() {
        도움말1 help;
        QCOMPARE(help.windowTitle(), QStringLiteral("도움말"));
        QCOMPARE(help.size(), QSize(178, 212));
        QVERIFY(help.windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(!(help.windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(help.Label1->geometry(), QRect(0, 0, 177, 169));
        QVERIFY(wrapsLeftTop(help.Label1));
        QVERIFY(help.Label1->text().contains(QStringLiteral("새게임")));
        QCOMPARE(help.Command1->text(), QStringLiteral("확인"));
        QCOMPARE(help.Command1->geometry(), QRect(48, 176, 73, 25));
        // Every word of the help fits inside its label.
        QVERIFY(help.Label1->heightForWidth(help.Label1->width()) <= help.Label1->height());

        만든이1 credits;
        QCOMPARE(credits.windowTitle(), QStringLiteral("만든이...."));
        QCOMPARE(credits.size(), QSize(261, 134));
        QVERIFY(!(credits.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(credits.Label1->geometry(), QRect(64, 8, 121, 33));
        QCOMPARE(credits.Label1->text(), QStringLiteral("Vorarid"));
        QCOMPARE(credits.Label1->palette().color(QPalette::WindowText), QColor(0, 0, 0));
        QCOMPARE(credits.Label1->font().pointSizeF(), 21.75);
        QCOMPARE(credits.Label1->font().weight(), QFont::Bold);
        QCOMPARE(credits.Label1->font().family(), QStringLiteral("굴림"));
        QVERIFY(credits.Label2->text().contains(QStringLiteral("CC BY 4.0")));
        QVERIFY(credits.Label2->heightForWidth(credits.Label2->width()) <= credits.Label2->height());
        QCOMPARE(credits.Command1->geometry(), QRect(80, 104, 89, 25));
        QCOMPARE(credits.Command1->text(), QStringLiteral("확인"));

        WAN1 picture;
        QCOMPARE(picture.windowTitle(), QStringLiteral("  완성사진임다......^^"));
        QCOMPARE(picture.size(), QSize(234, 234));
        QVERIFY(picture.findChildren<QWidget*>().isEmpty());

        축하1 congratulations;
        QCOMPARE(congratulations.windowTitle(), QStringLiteral("축하합니다여.....  ^^"));
        QCOMPARE(congratulations.size(), QSize(283, 152));
        QCOMPARE(congratulations.Label1->geometry(), QRect(16, 8, 249, 49));
        QCOMPARE(congratulations.Label1->text(), QStringLiteral("축하합니다..!!"));
        QVERIFY(fillsBackground(congratulations.Label1, QColor(255, 255, 0), QColor(0, 0, 0)));
        QCOMPARE(congratulations.Label1->font().pointSizeF(), 27.75);
        QCOMPARE(congratulations.Label1->font().weight(), QFont::Normal);
        QCOMPARE(congratulations.Label2->geometry(), QRect(8, 72, 265, 73));
        QVERIFY(fillsBackground(congratulations.Label2, QColor(0, 255, 255), QColor(192, 0, 192)));
        QCOMPARE(congratulations.Label2->font().pointSizeF(), 12.0);
        QVERIFY(wrapsLeftTop(congratulations.Label2));
        const QString stars = QStringLiteral("*^^*  *^^*  *^^*  *^^*  *^^*  *^^*");
        QCOMPARE(congratulations.Label2->text(),
                 QStringLiteral("     이이야~~~   잘하시네여 !!^^          ") + stars + QString(78, u' ') +
                     QStringLiteral("MAKE BY DIDOZ RIZI        "));
        // "MAKE BY ..." on a line of its own, and the whole text inside the label.
        QVERIFY(congratulations.Label2->heightForWidth(congratulations.Label2->width()) <= congratulations.Label2->height());

        // The font named "굴림" is drawn with an installed Hangul font.
        QVERIFY(QFontInfo(congratulations.Label1->font()).family() != QStringLiteral("굴림"));
        QVERIFY(QFontMetrics(congratulations.Label1->font()).inFontUcs4(U'축'));
    }

    void tabOrder() {
        만든이1 credits;
        QCOMPARE(credits.Label1->nextInFocusChain(), credits.Label2);
        QCOMPARE(credits.Label2->nextInFocusChain(), credits.Command1);
        축하1 congratulations;
        QCOMPARE(congratulations.Label1->nextInFocusChain(), congratulations.Label2);
    }

    // A real modal box, shown by a command of the main window: one OK
    // button reading 확인, no icon, exact texts; it blocks the whole program,
    // belongs to the main window and stands in the middle of the screen, not
    // of its window.
    void realMessageBox() {
        Windows windows;
        Vorarid main(pictures_.holders, windows);
        main.show();
        main.move(0, 0);
        main.숫자퍼즐->trigger();
        QString title, text, button;
        int buttons = -1;
        bool iconless = false, applicationModal = false, owned = false;
        QPoint centre;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            title = box->windowTitle();
            text = box->text();
            buttons = int(box->buttons().size());
            button = box->buttons().value(0)->text();
            iconless = box->icon() == QMessageBox::NoIcon && box->buttons().value(0)->icon().isNull();
            applicationModal = box->windowModality() == Qt::ApplicationModal;
            owned = box->windowHandle()->transientParent() == main.windowHandle();
            centre = box->frameGeometry().center();
            QTest::mouseClick(box->buttons().value(0), Qt::LeftButton);
        });
        main.완성사진보기->trigger();
        QCOMPARE(title, QStringLiteral("죄송함다..^^;"));
        QVERIFY(text.startsWith(QStringLiteral("숫자퍼즐은 완성사진이 없음다")));
        QCOMPARE(buttons, 1);
        QCOMPARE(button, QStringLiteral("확인"));
        QVERIFY(iconless);
        QVERIFY(applicationModal);
        QVERIFY(owned);
        const QPoint screen = main.screen()->availableGeometry().center();
        QVERIFY2((centre - screen).manhattanLength() < 60 &&
                     (centre - main.frameGeometry().center()).manhattanLength() > 200,
                 qPrintable(QStringLiteral("box centred at %1,%2").arg(centre.x()).arg(centre.y())));
    }

    // 끝내기, or the main window's close box: every window goes at once.
    // Last: once the program has been told to end, no event loop runs again.
    void endingClosesEverything() {
        for (const bool viaMenu : {true, false}) {
            QuietWindows windows;
            Vorarid main(pictures_.holders, windows);
            main.show();
            main.Dozud->trigger();
            main.돔말->trigger();
            main.만든이->trigger();
            main.완성사진보기->trigger();
            main.포기->trigger();
            QTest::mouseClick(main.cell(0), Qt::LeftButton);
            QCOMPARE(visibleWindows(), 5);
            if (viaMenu) main.끝내기->trigger();
            else main.close();
            QCOMPARE(visibleWindows(), 0);
        }
    }
};

QTEST_MAIN(TestWindows)
#include "test_windows.moc"
