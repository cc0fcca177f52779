#pragma once

class QApplication;

namespace vorarid {

// Turns Qt's fatal start-up failures (no connection to the display) into a
// one-line message and exit code 1. Call startupSucceeded() once the
// application object exists, to hand Qt's messages back to Qt.
void installStartupFailureHandler();
void startupSucceeded();

// Qt's own Korean texts (the OK button says "확인"), the "굴림" font (mapped
// to an installed Hangul font where it is missing), dialog buttons without
// stock icons, and no pixmap cache, whose upkeep runs on a timer.
void setUpKoreanDesktop(QApplication& app);

}  // namespace vorarid
