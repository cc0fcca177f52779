#include "cell_view.h"

#include <QAccessibleWidget>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace vorarid {
namespace {

// To a screen reader a cell is a button named after its place and its tile.
class CellAccessible : public QAccessibleWidget {
public:
    explicit CellAccessible(CellView* cell) : QAccessibleWidget(cell, QAccessible::Button) {}
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override {
        if (action == pressAction()) static_cast<CellView*>(widget())->click();
    }
};

QAccessibleInterface* accessibleCell(const QString&, QObject* object) {
    auto* cell = dynamic_cast<CellView*>(object);
    return cell ? new CellAccessible(cell) : nullptr;
}

}  // namespace

CellView::CellView(int number, QWidget* parent) : QWidget(parent), number_(number) {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(accessibleCell);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
}

void CellView::setPicture(const Picture& picture) {
    if (same(picture, picture_)) return;
    picture_ = picture;
    update();
}

// Drawn in device pixels: whatever the screen's scale, each border is one
// device pixel on a line shared with the neighbour's, and the picture fills
// the inside without gaps. At scale 1 that is the tile unscaled and clipped.
void CellView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const qreal scale = devicePixelRatioF();
    const int pitch = qRound((width() - 1) * scale);  // from this border line to the next
    painter.scale(1 / scale, 1 / scale);
    // Under a menu bar of fractional device height the cell starts between
    // two pixel rows: start on the next whole one, as the cells below do too.
    const QPointF origin = QPointF(mapTo(window(), QPoint(0, 0))) * scale;
    painter.translate(std::ceil(origin.x()) - origin.x(), std::ceil(origin.y()) - origin.y());
    const QRect inside(1, 1, pitch - 1, pitch - 1);
    if (const QImage* image = picture_.image()) {
        painter.setClipRect(inside);
        if (scale == 1.0) {
            painter.drawImage(inside.topLeft(), *image);
        } else {
            const qreal zoom = qreal(inside.width()) / (width() - 2);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(QRectF(inside.topLeft(), image->size() * zoom), *image);
        }
        painter.setClipping(false);
    }
    painter.setPen(QPen(palette().color(QPalette::WindowText), 0));
    painter.drawRect(0, 0, pitch, pitch);
}

// A click is a press and a release of the left button on the same cell.
void CellView::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
}

void CellView::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    if (click) this->click();
}

}  // namespace vorarid
