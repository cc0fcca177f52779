#include "window_place.h"

#include "twips.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QTimer>
#include <QWindow>
#include <QWidget>

namespace vorarid {
namespace {

// Watches a window from the moment it is shown until its frame is where it
// was asked to be, then goes away. Without a window manager the frame never
// shows up, so it also gives up a little while after the window appeared.
class FramePlacer : public QObject {
public:
    static inline const QString name = QStringLiteral("vorarid-frame-placer");

    FramePlacer(QWidget* window, QPoint target) : QObject(window), window_(window), target_(target) {
        setObjectName(name);
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != window_) return false;
        switch (event->type()) {
        case QEvent::Show:
            // The window manager frames the window a moment after it is
            // mapped, and Qt learns the frame without telling the widget:
            // look again a few times, then give up.
            for (int ms : {0, 20, 50, 100, 200, 400, 800, 1600}) QTimer::singleShot(ms, this, [this] { correct(); });
            QTimer::singleShot(2000, this, [this] { deleteLater(); });
            break;
        case QEvent::Move:
        case QEvent::WindowActivate:
            // Let the window manager finish framing the window first.
            QTimer::singleShot(0, this, [this] { correct(); });
            break;
        default:
            break;
        }
        return false;
    }

private:
    // Asks the native window, not the widget: the widget learns of the frame
    // only when the window moves, and a window framed in place never does.
    void correct() {
        if (!window_ || !window_->isVisible() || !window_->windowHandle()) return;
        QWindow* native = window_->windowHandle();
        const bool framed = native->frameMargins() != QMargins();
        if (native->framePosition() == target_) {
            // A window manager may report its frame only after the window is
            // up; until then the window is not known to be in place.
            if (framed) deleteLater();
            return;
        }
        if (++corrections_ > 10) {  // a window manager that will not let us: stop trying
            deleteLater();
            return;
        }
        // Place the client area inside the frame we now know of.
        const QMargins frame = native->frameMargins();
        native->setPosition(target_ + QPoint(frame.left(), frame.top()));
    }

    QPointer<QWidget> window_;
    QPoint target_;
    int corrections_ = 0;
};

}  // namespace

void moveWindowTwips(QWidget* window, int leftTwips, int topTwips) {
    const QPoint target = twipsToPixels(leftTwips, topTwips);
    window->move(target);
    // Elsewhere (offscreen, a single-window platform) the move above is exact.
    if (!window->isVisible() && QGuiApplication::platformName() == QLatin1String("xcb")) {
        for (QObject* old : window->findChildren<QObject*>(FramePlacer::name, Qt::FindDirectChildrenOnly)) delete old;
        new FramePlacer(window, target);
    }
}

}  // namespace vorarid
