#pragma once

#include "picture.h"

#include <QWidget>

#include <functional>

namespace vorarid {

// One clickable cell of the board: a 1-pixel border around a 47 x 47 inside
// where the picture is drawn from the top-left corner, unscaled and clipped.
class CellView : public QWidget {
public:
    CellView(int number, QWidget* parent);

    int number() const { return number_; }
    const Picture& picture() const { return picture_; }
    void setPicture(const Picture& picture);
    void onClicked(std::function<void()> handler) { clicked_ = std::move(handler); }
    // What a click does; also what a screen reader's "press" does.
    void click() {
        if (clicked_) clicked_();
    }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int number_;
    Picture picture_;
    std::function<void()> clicked_;
    bool pressed_ = false;
};

}  // namespace vorarid
