#pragma once

#include <QApplication>
#include <QPointer>
#include <QWidget>

namespace vorarid {

// Whether a modal box is open over `window`.
inline bool blockedByModalBox(const QWidget* window) {
    const QWidget* modal = QApplication::activeModalWidget();
    return modal && modal != window->window();
}

// The window whose command is running (a click on it, one of its menu
// commands or its button), or nullptr between commands. A message box the
// command shows belongs to it.
inline QPointer<QWidget>& commandWindow() {
    static QPointer<QWidget> window;
    return window;
}

// A player's command for `window`, dropped while a modal box is open over it.
// Qt keeps the mouse and the keyboard from such a window itself, but a screen
// reader's press reaches a cell, a menu item or a button directly.
template <class Handler>
auto unlessBlocked(QWidget* window, Handler handler) {
    return [window, handler] {
        if (blockedByModalBox(window)) return;
        QPointer<QWidget> outer = commandWindow();
        commandWindow() = window->window();
        handler();
        commandWindow() = outer;
    };
}

}  // namespace vorarid
