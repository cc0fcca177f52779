#include "broken_pictures.h"
#include "main_window.h"
#include "pictures.h"
#include "startup.h"
#include "windows.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>

#include <future>

using namespace vorarid;

int main(int argc, char** argv) {
    if (!haveDisplay()) return 1;
    preferX11UnderWayland();
    installStartupFailureHandler();

    // The game takes no command line, not even Qt's own options.
    int qtArgc = argc > 0 ? 1 : 0;
    QApplication app(qtArgc, argv);
    startupSucceeded();
    // Decoding the pictures is the one start-up cost a bare Qt window does
    // not have: do it while Qt sets up fonts and translations.
    std::future<Pictures> decoded = std::async(std::launch::async, [] { return loadPictures(); });
    setUpKoreanDesktop(app);

    // Desktop integration finds the icon and name by this id.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.vorarid.Vorarid"));

    // Every picture is decoded before the main window first shows. A game
    // with a broken tile must not start: that tile would count as a blank.
    Pictures pictures = decoded.get();
    if (!pictures.problems.isEmpty()) return refuseBrokenPictures(pictures.problems);
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(pictures.icon)));

    Windows windows;
    Vorarid window(std::move(pictures.holders), windows);
    window.show();
    return app.exec();
}
