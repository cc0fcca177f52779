#include "desktop_session.h"

#include <QFont>
#include <QFontDatabase>
#include <QEvent>
#include <QGuiApplication>
#include <QMetaObject>
#include <QWidget>

#include <emscripten.h>

#include <cstdio>

namespace vorarid {

// A page always has its desktop: the part of the page the game is given.
bool prepareDesktop() { return true; }

// Qt's message in full: it says what failed.
QString startupFailureReason(const QString& fatal, const QStringList&) { return fatal.trimmed(); }

// On the console, and to the page, which says that the game could not start.
void reportStartupFailure(const QString& reason) {
    std::fprintf(stderr, "vorarid: cannot start: %s\n", qPrintable(reason));
    endEventLoop(1);
}

// The program carries its Hangul font: this would be a broken build.
void reportNoHangulFont() { std::fputs("vorarid: the Hangul font the program carries did not load\n", stderr); }

// Embedded by the web build from the build machine's Qt translations.
QString qtTranslationsPath() { return QStringLiteral(":/qt/translations"); }

// A browser shows the program no fonts of its own, and Qt for the web
// brings only Latin ones: the Hangul font goes inside the program, cut to
// the letters the game shows. It is the default font, at the 9 points of a
// desktop's, as a Korean desktop's is; and Qt falls back to it for Hangul
// in any other font.
void addCarriedFonts() {
    const int id = QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/hangul.ttf"));
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    for (const QString& family : families)
        QFontDatabase::addApplicationFallbackFontFamily(QChar::Script_Hangul, family);
    if (!families.isEmpty()) QGuiApplication::setFont(QFont(families.first(), 9));
}

namespace {

// Qt's frames in a page maximise a window at a double click on its title
// bar, whatever its size: a double tap on a phone does it by chance, the
// second tap landing on a window the first one opened. The game's windows
// keep their size: back to normal once Qt is done maximising, which is when
// its frame returns to the window's own size and place.
class KeepsItsSize : public QObject {
    static constexpr Qt::WindowStates resized{Qt::WindowMaximized | Qt::WindowFullScreen};

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* window = static_cast<QWidget*>(watched);
        if (event->type() == QEvent::WindowStateChange && (window->windowState() & resized)) {
            QMetaObject::invokeMethod(
                window, [window] { window->setWindowState(window->windowState() & ~resized); }, Qt::QueuedConnection);
        }
        return false;
    }
};

}  // namespace

// Qt learns how large a window's frame is (its title bar is the page's)
// only once the window shows: then the frame goes where the window asked.
void showWindow(QWidget* window) {
    static KeepsItsSize keepsItsSize;
    window->installEventFilter(&keepsItsSize);
    const QPoint place = window->pos();
    window->showNormal();
    window->move(place);
}

// Stops the runtime, which would otherwise go on waiting for events, and
// with it calls the page's onExit.
void endEventLoop(int code) { emscripten_force_exit(code); }

}  // namespace vorarid
