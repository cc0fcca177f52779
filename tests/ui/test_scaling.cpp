// The board on a scaled screen (run at QT_SCALE_FACTOR 1, 1.5 and 2): cells
// stay aligned on shared one-pixel border lines, pictures fill them without
// gaps, and at scale 1 every tile is drawn pixel for pixel.
#include "main_window.h"
#include "quiet_windows.h"
#include "pictures.h"
#include "startup.h"

#include <QApplication>
#include <QTest>

#include <cmath>

using namespace vorarid;
using namespace vorarid::testing;

class TestScaling : public QObject {
    Q_OBJECT

private slots:
    void cellsStayAligned() {
        const Pictures& pictures = programPictures();
        QuietWindows windows;
        Vorarid window(pictures.holders, windows);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.Deveder->trigger();

        const QImage shot = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const qreal scale = shot.devicePixelRatio();
        qInfo("scale %.2f", scale);
        const QRgb border = window.palette().color(QPalette::WindowText).rgb() | 0xff000000;
        const QPointF board = QPointF(window.centralWidget()->pos()) * scale;
        const int pitch = qRound(48 * scale);
        const int left = int(std::ceil(board.x())), top = int(std::ceil(board.y()));

        // Every border line of the grid runs unbroken, one device pixel wide.
        for (int line = 0; line <= 5; ++line) {
            for (int along = 0; along <= 5 * pitch; ++along) {
                QCOMPARE(shot.pixel(left + line * pitch, top + along), border);
                QCOMPARE(shot.pixel(left + along, top + line * pitch), border);
            }
        }
        // Inside each dealt cell the picture reaches the border on all sides.
        for (int cell = 1; cell <= 25; ++cell) {
            if (cell == 17) continue;  // the blank
            const int x = left + (cell - 1) % 5 * pitch, y = top + (cell - 1) / 5 * pitch;
            const QImage& tile = *window.cell(cell)->picture().image();
            for (const QPoint inside : {QPoint(1, 1), QPoint(pitch - 1, pitch - 1), QPoint(1, pitch - 1)}) {
                const QRgb shown = shot.pixel(QPoint(x, y) + inside);
                QVERIFY2(shown != (window.palette().color(QPalette::Window).rgb() | 0xff000000),
                         qPrintable(QStringLiteral("p%1 has a gap at %2,%3").arg(cell).arg(inside.x()).arg(inside.y())));
                if (scale == 1.0) {  // unscaled: the tile's own pixels
                    const QPoint source = inside - QPoint(1, 1);
                    QCOMPARE(shown, tile.pixel(source));
                }
            }
        }
        // p0 sits on p25's bottom line.
        QCOMPARE(shot.pixel(left + 4 * pitch + pitch / 2, top + 5 * pitch), border);
        QCOMPARE(shot.pixel(left + 4 * pitch, top + 6 * pitch), border);
    }
};

QTEST_MAIN(TestScaling)
#include "test_scaling.moc"
