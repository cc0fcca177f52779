#include "desktop_session.h"

#include <QWidget>

namespace vorarid {

bool prepareDesktop() { return true; }

// Embedded by the Windows build from the build machine's Qt translations.
QString qtTranslationsPath() { return QStringLiteral(":/qt/translations"); }

void addCarriedFonts() {}

void showWindow(QWidget* window) { window->showNormal(); }

int endOfProgram(int code) { return code; }

}  // namespace vorarid
