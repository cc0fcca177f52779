#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace vorarid {

// What differs between the desktops the game is built for. Each has a file
// of its own (desktop_session_linux.cpp, desktop_session_windows.cpp,
// desktop_session_web.cpp for a page in a browser), chosen when the program
// is built.

// Makes sure there is a desktop to open windows on and picks how to reach
// it. When there is none, says so in one line and returns false: Qt would
// otherwise abort with a core dump.
//
// On Linux that needs DISPLAY or WAYLAND_DISPLAY; and since windows on this
// game have fixed places, which a Wayland client cannot set, the game runs
// through XWayland where it exists, unless the player chose a platform.
// Windows always has a desktop, and so has a page.
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
// packages keep up to date; inside the program on Windows and in a browser,
// which have none.
QString qtTranslationsPath();

// Adds the fonts the program carries, for desktops that have none the game
// can use (a browser); elsewhere, nothing.
void addCarriedFonts();

// Shows a top-level window at its size and at the place it was moved to
// (moveWindowTwips). A window manager frames a new window where it asked
// to be; a page's windows are framed by Qt, which knows the frame's size
// only once the window shows, so there the window is placed again then.
void showWindow(QWidget* window);

// Ends the event loop, whose exec() then returns `code` to main() and the
// operating system. In a page exec() never returns (the browser runs the
// loop, between events): there the program's runtime stops at once and the
// page is told, so that it can say so.
void endEventLoop(int code);

}  // namespace vorarid
