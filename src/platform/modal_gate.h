#pragma once

#include <QApplication>
#include <QWidget>

namespace vorarid {

// Whether a modal box is open over `window`.
inline bool blockedByModalBox(const QWidget* window) {
    const QWidget* modal = QApplication::activeModalWidget();
    return modal && modal != window->window();
}

// A player's command for `window`, dropped while a modal box is open over it.
// Qt keeps the mouse and the keyboard from such a window itself, but a screen
// reader's press reaches a cell, a menu item or a button directly.
template <class Handler>
auto unlessBlocked(const QWidget* window, Handler handler) {
    return [window, handler] {
        if (!blockedByModalBox(window)) handler();
    };
}

}  // namespace vorarid
