#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

class QLabel;
class QPushButton;
class QWidget;

namespace vorarid {

// The title bar of a window of a fixed size: a close box, no maximise box
// and, if asked, a minimise box.
Qt::WindowFlags fixedWindowFlags(bool minimise);

// Gives a top-level window its caption, a fixed client size in twips and a
// title bar with a close box, no maximise box and, if asked, a minimise box.
void setUpFixedWindow(QWidget* window, const QString& caption, int widthTwips, int heightTwips, bool minimise);

// A rectangle in twips, as a window's design gives it, in pixels.
QRect twipsRect(int left, int top, int width, int height);

// A label that fills its rectangle with its background, left-aligns its text
// and wraps it at blanks, in the window's default colours and font.
QLabel* makeLabel(QWidget* window, const QRect& place, const QString& text);
// The same in its own colours and font.
QLabel* makeLabel(QWidget* window, const QRect& place, const QString& text, const QColor& foreground,
                  const QColor& background, const QFont& font);
QPushButton* makeButton(QWidget* window, const QRect& place, const QString& caption);

// "굴림" at the given size and weight; the font is mapped to an installed Hangul font.
QFont gulim(qreal pointSize, int weight);

}  // namespace vorarid
