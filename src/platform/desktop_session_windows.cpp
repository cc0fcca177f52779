#include "desktop_session.h"

#include <QCoreApplication>
#include <QWidget>

#include <windows.h>

namespace vorarid {

bool prepareDesktop() { return true; }

// Qt's message in full: it says what failed and what would mend it.
QString startupFailureReason(const QString& fatal, const QStringList&) { return fatal.trimmed(); }

// Qt's own message boxes need the Qt that failed to start: Windows' own.
void reportStartupFailure(const QString& reason) {
    const QString text = QStringLiteral("Vorarid를 시작할 수 없습니다.\nVorarid cannot start.\n\n") + reason;
    MessageBoxW(nullptr, reinterpret_cast<const wchar_t*>(text.utf16()), L"Vorarid", MB_OK | MB_ICONERROR);
}

// Every Windows since Vista has Malgun Gothic.
void reportNoHangulFont() {}

// Embedded by the Windows build from the build machine's Qt translations.
QString qtTranslationsPath() { return QStringLiteral(":/qt/translations"); }

void addCarriedFonts() {}

void showWindow(QWidget* window) { window->showNormal(); }

void endEventLoop(int code) { QCoreApplication::exit(code); }

}  // namespace vorarid
