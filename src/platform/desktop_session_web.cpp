#include "desktop_session.h"

#include <QFontDatabase>
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
    endOfProgram(1);
}

// The program carries its Hangul font: this would be a broken build.
void reportNoHangulFont() { std::fputs("vorarid: the Hangul font the program carries did not load\n", stderr); }

// Embedded by the web build from the build machine's Qt translations.
QString qtTranslationsPath() { return QStringLiteral(":/qt/translations"); }

// A browser shows the program no fonts of its own, and Qt for the web
// brings only Latin ones: the Hangul font goes inside the program, cut to
// the letters the game shows, and Qt falls back to it for Hangul in any
// font, the menus' included.
void addCarriedFonts() {
    const int id = QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/hangul.ttf"));
    for (const QString& family : QFontDatabase::applicationFontFamilies(id))
        QFontDatabase::addApplicationFallbackFontFamily(QChar::Script_Hangul, family);
}

// Qt learns how large a window's frame is (its title bar is the page's)
// only once the window shows: then the frame goes where the window asked.
void showWindow(QWidget* window) {
    const QPoint place = window->pos();
    window->showNormal();
    window->move(place);
}

// Stops the runtime, which keeps running for a program that returns from
// main(), and with it calls the page's onExit.
int endOfProgram(int code) {
    emscripten_force_exit(code);
    return code;
}

}  // namespace vorarid
