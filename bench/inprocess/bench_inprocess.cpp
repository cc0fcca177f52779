// What the game costs inside its own process, offscreen: building the main
// window from the embedded pictures, a click that slides a tile (press and
// release through Qt's event delivery, then the repaint of both cells), a new
// game with its repaint, the first one of a process included, and the
// completion check.
//
// Run by hand (see bench/README.md); never part of the test suite, because a
// busy machine would make any time limit fail at random.

#include "main_window.h"
#include "neighbours.h"
#include "pictures.h"
#include "startup.h"
#include "windows.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPaintEvent>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <map>
#include <vector>

#include <sys/mman.h>
#include <unistd.h>

using namespace vorarid;

namespace {

// Message boxes would block: answer them at once.
class QuietWindows : public Windows {
public:
    void messageBox(const QString&, const QString&) override {}
};

// Which part of each widget was painted.
class PaintRecorder : public QObject {
public:
    std::map<QObject*, QRegion> painted;

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::Paint) painted[object] += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
};

// A dealt board, shown, and one tile next to the blank that each click
// slides into the blank and back again.
class SlidingTile {
public:
    explicit SlidingTile(Vorarid& window) : window_(window) {
        window.show();
        ready_ = QTest::qWaitForWindowExposed(&window);
        window.game().startNewGame(1);
        QCoreApplication::processEvents();
        for (int cell = 0; cell < cellCount; ++cell)
            if (window.cell(cell)->picture().isEmpty()) blank_ = cell;
        tile_ = *neighboursOf(blank_).begin();
        next_ = tile_;
    }

    bool ready() const { return ready_; }
    int blank() const { return blank_; }
    int tile() const { return tile_; }

    // Clicks the cell that holds the tile; returns it.
    int click() {
        const int clicked = next_;
        QWidget* view = window_.cell(clicked);
        QTest::mouseClick(window_.windowHandle(), Qt::LeftButton, {}, view->mapTo(&window_, view->rect().center()));
        next_ = clicked == tile_ ? blank_ : tile_;
        return clicked;
    }

private:
    Vorarid& window_;
    bool ready_ = false;
    int blank_ = 0;
    int tile_ = 0;
    int next_ = 0;
};

// The offscreen platform warns about each fixed-size window it shows, which
// is noise here; everything else goes on to QtTest's own handler.
QtMessageHandler testLogHandler = nullptr;
void dropSizeHintWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg && message.contains(QLatin1String("propagateSizeHints()"))) return;
    testLogHandler(type, context, message);
}

// A fresh process reads a picture's pixels from the program file the first
// time it draws it. Dropping the pages that hold only pixels from this
// process makes the next draw pay that again (a minor fault each, the file
// being in the page cache, as it is for a player's second start).
void forgetPixelPages(const Holders& holders) {
    const uchar* first = nullptr;
    const uchar* end = nullptr;
    const auto widen = [&](const Picture& picture) {
        const QImage& image = *picture.image();
        if (!first || image.constBits() < first) first = image.constBits();
        if (!end || image.constBits() + image.sizeInBytes() > end) end = image.constBits() + image.sizeInBytes();
    };
    for (const auto& set : holders.sets)
        for (const Picture& tile : set) widen(tile);
    for (const Picture& photo : holders.images) widen(photo);
    const auto page = std::uintptr_t(sysconf(_SC_PAGESIZE));
    const std::uintptr_t from = (std::uintptr_t(first) + page - 1) / page * page, to = std::uintptr_t(end) / page * page;
    if (to > from) madvise(reinterpret_cast<void*>(from), to - from, MADV_DONTNEED);
}

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(p / 100.0 * double(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

}  // namespace

class BenchInProcess : public QObject {
    Q_OBJECT

    Pictures pictures_;

private slots:
    void initTestCase() {
        testLogHandler = qInstallMessageHandler(dropSizeHintWarnings);
        setUpKoreanDesktop(*qApp);
        QElapsedTimer timer;
        timer.start();
        pictures_ = loadPictures();
        const double firstMs = double(timer.nsecsElapsed()) / 1e6;
        timer.restart();
        Pictures again = loadPictures();
        const double secondMs = double(timer.nsecsElapsed()) / 1e6;
        qInfo("loadPictures: first call %.3f ms, second call %.3f ms", firstMs, secondMs);
    }

    void loadPicturesOnly() {
        QBENCHMARK {
            Pictures pictures = loadPictures();
        }
    }

    void buildMainWindow() {
        QBENCHMARK {
            Pictures pictures = loadPictures();
            QuietWindows windows;
            Vorarid window(std::move(pictures.holders), windows);
        }
    }

    void buildMainWindowFromDecodedPictures() {
        QBENCHMARK {
            QuietWindows windows;
            Vorarid window(pictures_.holders, windows);
        }
    }

    void showAndFirstPaint() {
        QBENCHMARK {
            QuietWindows windows;
            Vorarid window(pictures_.holders, windows);
            window.show();
            window.repaint();
        }
    }

    // The click that slides a tile, back and forth between the blank and one
    // of its neighbours, so every click moves a tile.
    void clickMovesTile() {
        QuietWindows windows;
        Vorarid window(pictures_.holders, windows);
        SlidingTile tile(window);
        QVERIFY(tile.ready());

        // The timed click must repaint both cells. Cells share their border
        // line with their neighbours, so those repaint that line and no more.
        PaintRecorder recorder;
        for (int cell = 0; cell < cellCount; ++cell) window.cell(cell)->installEventFilter(&recorder);
        const int clicked = tile.click();
        QVERIFY(window.cell(clicked)->picture().isEmpty());
        for (int cell = 0; cell < cellCount; ++cell) {
            CellView* view = window.cell(cell);
            view->removeEventFilter(&recorder);
            const QRect painted = recorder.painted[view].boundingRect();
            if (cell == tile.blank() || cell == tile.tile())
                QCOMPARE(painted, view->rect());
            else
                QVERIFY2(painted.width() <= 1 || painted.height() <= 1, qPrintable(view->objectName()));
        }

        QBENCHMARK {
            tile.click();
        }
    }

    // The slowest clicks matter more than the mean: a player notices a click
    // that lags, not the average one.
    void clickMovesTilePercentiles() {
        QuietWindows windows;
        Vorarid window(pictures_.holders, windows);
        SlidingTile tile(window);
        QVERIFY(tile.ready());
        for (int i = 0; i < 100; ++i) tile.click();

        constexpr int clicks = 10000;
        std::vector<double> times;
        times.reserve(clicks);
        for (int i = 0; i < clicks; ++i) {
            const auto start = std::chrono::steady_clock::now();
            tile.click();
            times.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
        }
        QVERIFY(window.cell(tile.blank())->picture().isEmpty() != window.cell(tile.tile())->picture().isEmpty());
        qInfo("click and repaint of both cells, %d clicks: median %.1f us, p99 %.1f us, max %.1f us", clicks,
              percentile(times, 50), percentile(times, 99), percentile(times, 100));
    }

    void newGameAndRepaint() {
        QuietWindows windows;
        Vorarid window(pictures_.holders, windows);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        PuzzleKind kind = 0;
        QBENCHMARK {
            window.game().startNewGame(kind);
            kind = PuzzleKind((kind + 1) % 5);
            QCoreApplication::processEvents();
        }
    }

    // The first repaint after a new game as a player meets it: a window that
    // has never drawn a tile, pictures whose pixels this process has not read.
    void firstRepaintAfterNewGamePercentiles() {
        constexpr int runs = 500;
        std::vector<double> times;
        times.reserve(runs);
        for (int run = 0; run < runs; ++run) {
            QuietWindows windows;
            Vorarid window(loadPictures().holders, windows);
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QCoreApplication::processEvents();
            forgetPixelPages(window.game().holders());
            const auto start = std::chrono::steady_clock::now();
            window.game().startNewGame(PuzzleKind(run % 5));
            window.repaint();
            times.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
        }
        qInfo("first repaint after a new game, %d fresh windows: median %.0f us, p99 %.0f us, max %.0f us", runs,
              percentile(times, 50), percentile(times, 99), percentile(times, 100));
    }

    void completionCheck() {
        QuietWindows windows;
        Vorarid window(pictures_.holders, windows);
        window.game().startNewGame(2);
        QBENCHMARK {
            window.game().checkCompletion();
        }
        QVERIFY(!windows.congratulations.open());
    }
};

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    BenchInProcess bench;
    return QTest::qExec(&bench, argc, argv);
}

#include "bench_inprocess.moc"
