#include "main_window.h"
#include "message_box.h"
#include "pictures.h"
#include "startup.h"
#include "windows.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>

#include <cstdio>

using namespace vorarid;

int main(int argc, char** argv) {
    if (!haveDisplay()) return 1;
    preferX11UnderWayland();
    installStartupFailureHandler();

    // The game takes no command line, not even Qt's own options.
    int qtArgc = argc > 0 ? 1 : 0;
    QApplication app(qtArgc, argv);
    setUpKoreanDesktop(app);

    Pictures pictures = loadPictures();
    if (!pictures.problems.isEmpty()) {
        const QString report =
            QStringLiteral("그림이 깨져서 시작할 수 없음다 (broken picture):\n") + pictures.problems.join(u'\n');
        std::fprintf(stderr, "vorarid: %s\n", qPrintable(report));
        showMessageBox(report, QStringLiteral("Vorarid"));
        return 2;
    }
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(pictures.icon)));

    Windows windows;
    Vorarid window(std::move(pictures.holders), windows);
    window.show();
    return app.exec();
}
