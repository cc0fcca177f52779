#include "desktop_session.h"
#include "main_window.h"
#include "pictures.h"
#include "startup.h"
#include "windows.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>

using namespace vorarid;

int main(int argc, char** argv) {
    if (!prepareDesktop()) return 1;
    installStartupFailureHandler();

    // The game takes no command line, not even Qt's own options.
    int qtArgc = argc > 0 ? 1 : 0;
    QApplication app(qtArgc, argv);
    startupSucceeded();
    setUpKoreanDesktop(app);

    // Desktop integration finds the icon and name by this id.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.vorarid.Vorarid"));

    // The pictures were decoded when the program was built: here they are
    // only wrapped, and the empty board that shows first reads none of them.
    Pictures pictures = loadPictures();
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(pictures.icon)));

    Windows windows;
    Vorarid window(std::move(pictures.holders), windows);
    showWindow(&window);
    return app.exec();
}
