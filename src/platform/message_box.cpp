#include "message_box.h"

#include "modal_gate.h"

#include <QApplication>
#include <QMessageBox>
#include <QWindow>

namespace vorarid {
namespace {

// A box that belongs to a window: Windows keeps it above that window, gives
// it no taskbar button of its own and brings it forward when the player
// clicks the blocked window; X11 window managers keep it above that window
// (WM_TRANSIENT_FOR).
class OwnedMessageBox : public QMessageBox {
public:
    OwnedMessageBox(const QString& prompt, const QString& title, QWidget* owner)
        : QMessageBox(QMessageBox::NoIcon, title, prompt, QMessageBox::Ok), owner_(owner) {}

protected:
    void showEvent(QShowEvent* event) override {
        // Sized, and placed as a box of no window: in the middle of the
        // screen. Only then given its owner, which would centre it on that
        // window instead, before its native window is shown.
        QMessageBox::showEvent(event);
        if (owner_ && owner_->windowHandle()) windowHandle()->setTransientParent(owner_->windowHandle());
    }

private:
    QPointer<QWidget> owner_;
};

}  // namespace

void showMessageBox(const QString& prompt, const QString& title) {
    // The window the command came from owns the box; the box blocks the
    // whole program.
    OwnedMessageBox box(prompt, title, commandWindow() ? commandWindow().data() : QApplication::activeWindow());
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowIcon(QApplication::windowIcon());
    box.exec();
}

}  // namespace vorarid
