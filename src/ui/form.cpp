#include "form.h"

#include "twips.h"

#include <QLabel>
#include <QPushButton>
#include <QWidget>

namespace vorarid {

Qt::WindowFlags fixedWindowFlags(bool minimise) {
    // The fixed size keeps the windows from being resized everywhere: X11
    // window managers go by it, and on Windows Qt bounds the frame's drag to
    // it and shows no resize cursor at its edges. Not Windows' thin dialog
    // border: Windows keeps such a window at its size in device pixels when
    // it moves to a monitor of another scale.
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                            Qt::WindowCloseButtonHint;
    if (minimise) flags |= Qt::WindowMinimizeButtonHint;
    return flags;
}

void setUpFixedWindow(QWidget* window, const QString& caption, int widthTwips, int heightTwips, bool minimise) {
    window->setWindowFlags(fixedWindowFlags(minimise));
    window->setWindowTitle(caption);
    window->setFixedSize(twipsToPixelSize(widthTwips, heightTwips));
}

QRect twipsRect(int left, int top, int width, int height) {
    return {twipsToPixels(left, top), twipsToPixelSize(width, height)};
}

QLabel* makeLabel(QWidget* window, const QRect& place, const QString& text) {
    auto* label = new QLabel(window);
    label->setGeometry(place);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    label->setText(text);
    label->setAutoFillBackground(true);
    return label;
}

QLabel* makeLabel(QWidget* window, const QRect& place, const QString& text, const QColor& foreground,
                  const QColor& background, const QFont& font) {
    QLabel* label = makeLabel(window, place, text);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, foreground);
    palette.setColor(QPalette::Window, background);
    label->setPalette(palette);
    label->setFont(font);
    return label;
}

QPushButton* makeButton(QWidget* window, const QRect& place, const QString& caption) {
    auto* button = new QPushButton(caption, window);
    button->setGeometry(place);
    button->setAutoDefault(true);
    return button;
}

QFont gulim(qreal pointSize, int weight) {
    QFont font(QStringLiteral("굴림"));
    font.setPointSizeF(pointSize);
    font.setWeight(static_cast<QFont::Weight>(weight));
    return font;
}

}  // namespace vorarid
