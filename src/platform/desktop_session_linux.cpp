#include "desktop_session.h"

#include <QLibraryInfo>
#include <QCoreApplication>
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

// Qt's own first complaint names the cause best ("could not connect to display :9").
QString startupFailureReason(const QString& fatal, const QStringList& earlier) {
    QString reason = fatal.section(u'\n', 0, 0);
    for (const QString& message : earlier)
        if (message.contains(QLatin1String("connect to display"))) reason = message;
    return reason;
}

void reportStartupFailure(const QString& reason) {
    std::fprintf(stderr, "vorarid: cannot start without a working graphical session: %s\n", qPrintable(reason));
    std::fflush(stderr);
}

void reportNoHangulFont() {
    std::fputs("vorarid: no Hangul font is installed; Korean texts may show as boxes (install the package fonts-nanum)\n",
               stderr);
}

QString qtTranslationsPath() { return QLibraryInfo::path(QLibraryInfo::TranslationsPath); }

void addCarriedFonts() {}

void showWindow(QWidget* window) { window->showNormal(); }

void endEventLoop(int code) { QCoreApplication::exit(code); }

}  // namespace vorarid
