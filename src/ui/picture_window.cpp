#include "picture_window.h"

#include "form.h"
#include "texts.h"
#include "window_place.h"

#include <QPainter>

namespace vorarid {

WAN1::WAN1() {
    setUpFixedWindow(this, texts::pictureCaption(), 3510, 3510, /*minimise=*/false);
    setAttribute(Qt::WA_OpaquePaintEvent);
    Form_Load();
}

void WAN1::Form_Load() { moveWindowTwips(this, 4000, 2000); }

void WAN1::setPicture(const Picture& picture) {
    picture_ = picture;
    update();
}

void WAN1::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);  // on a scaled screen
    if (const QImage* image = picture_.image()) painter.drawImage(QPoint(0, 0), *image);
}

}  // namespace vorarid
