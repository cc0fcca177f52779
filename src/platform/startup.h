#pragma once

class QApplication;

namespace vorarid {

// Says in one line that a graphical session is needed, when there is none,
// and returns false. Qt would otherwise abort with a core dump.
bool haveDisplay();

// Windows on this game have fixed places, which a Wayland client cannot set:
// unless the player chose a platform, run through XWayland where it exists.
void preferX11UnderWayland();

// Turns Qt's fatal start-up failures (no connection to the display) into a
// one-line message and exit code 1. Call startupSucceeded() once the
// application object exists, to hand Qt's messages back to Qt.
void installStartupFailureHandler();
void startupSucceeded();

// Qt's own Korean texts (the OK button says "확인"), the "굴림" font mapped to
// an installed Hangul font, and dialog buttons without stock icons.
void setUpKoreanDesktop(QApplication& app);

}  // namespace vorarid
