#pragma once

#include <QString>
#include <QStringList>

namespace vorarid {

// What differs between the desktops the game is built for. Each has a file
// of its own (desktop_session_linux.cpp, desktop_session_windows.cpp),
// chosen when the program is built.

// Makes sure there is a desktop to open windows on and picks how to reach
// it. When there is none, says so in one line and returns false: Qt would
// otherwise abort with a core dump.
//
// On Linux that needs DISPLAY or WAYLAND_DISPLAY; and since windows on this
// game have fixed places, which a Wayland client cannot set, the game runs
// through XWayland where it exists, unless the player chose a platform.
// Windows always has a desktop.
bool prepareDesktop();

// The reason for a start-up failure that Qt reports as fatal, from its
// message and what it said before.
QString startupFailureReason(const QString& fatal, const QStringList& earlier);

// Tells the player that the game cannot start, and why: one line on stderr
// on Linux; a message box on Windows, whose GUI programs have no console.
void reportStartupFailure(const QString& reason);

// Tells the player that no Hangul font is installed, and what to install.
void reportNoHangulFont();

// Where Qt's own translations are: the system's on Linux, which its
// packages keep up to date; inside the program on Windows, which has none.
QString qtTranslationsPath();

}  // namespace vorarid
