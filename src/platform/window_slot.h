#pragma once

#include "desktop_session.h"

#include <QPointer>
#include <QWidget>

namespace vorarid {

// The one instance of a window that is created on first use and destroyed
// when closed. Each window runs its own load handler from its constructor,
// so a fresh window always starts at its own place.
template <class Window>
class WindowSlot {
public:
    WindowSlot() = default;
    WindowSlot(const WindowSlot&) = delete;
    WindowSlot& operator=(const WindowSlot&) = delete;
    ~WindowSlot() { delete window_; }

    // The open window, creating it first when there is none.
    Window& get() {
        if (!open()) {
            window_ = new Window;  // no parent: no window owns another
            window_->setAttribute(Qt::WA_DeleteOnClose);
        }
        return *window_;
    }

    // Shows the window modeless, or brings the open one to the front where it is.
    void show() {
        Window& window = get();
        if (window.isVisible()) {
            if (window.isMinimized()) window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
            window.raise();
            window.activateWindow();
        } else {
            showWindow(&window);
        }
    }

    // The open window, or nullptr. A closed window is gone at once, although
    // Qt destroys it only when the event loop next runs: Qt clears
    // WA_DeleteOnClose when it schedules that.
    Window* open() const { return window_ && window_->testAttribute(Qt::WA_DeleteOnClose) ? window_.data() : nullptr; }

private:
    QPointer<Window> window_;
};

}  // namespace vorarid
