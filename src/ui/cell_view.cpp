#include "cell_view.h"

#include <QMouseEvent>
#include <QPainter>

namespace vorarid {

CellView::CellView(int number, QWidget* parent) : QWidget(parent), number_(number) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void CellView::setPicture(const Picture& picture) {
    if (same(picture, picture_)) return;
    picture_ = picture;
    update();
}

void CellView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect inside = rect().adjusted(1, 1, -1, -1);
    if (const QImage* image = picture_.image()) {
        painter.setClipRect(inside);
        painter.drawImage(inside.topLeft(), *image);
        painter.setClipping(false);
    }
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

// A click is a press and a release of the left button on the same cell.
void CellView::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
}

void CellView::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    if (click && clicked_) clicked_();
}

}  // namespace vorarid
