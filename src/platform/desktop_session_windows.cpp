#include "desktop_session.h"

namespace vorarid {

bool prepareDesktop() { return true; }

// Embedded by the Windows build from the build machine's Qt translations.
QString qtTranslationsPath() { return QStringLiteral(":/qt/translations"); }

}  // namespace vorarid
