#include "desktop_session.h"

#include <QLibraryInfo>
#include <QWidget>
#include <QtGlobal>

#include <cstdio>

namespace vorarid {

bool prepareDesktop() {
    const bool x11 = !qEnvironmentVariableIsEmpty("DISPLAY");
    const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    const bool chosen = !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    if (!chosen && !x11 && !wayland) {
        std::fputs("vorarid: needs a graphical session (neither DISPLAY nor WAYLAND_DISPLAY is set)\n", stderr);
        return false;
    }
    if (!chosen && x11 && wayland) qputenv("QT_QPA_PLATFORM", "xcb");
    return true;
}

QString qtTranslationsPath() { return QLibraryInfo::path(QLibraryInfo::TranslationsPath); }

void addCarriedFonts() {}

void showWindow(QWidget* window) { window->showNormal(); }

int endOfProgram(int code) { return code; }

}  // namespace vorarid
