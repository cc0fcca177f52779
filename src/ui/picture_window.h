#pragma once

#include "picture.h"

#include <QWidget>

namespace vorarid {

// WAN1: the finished photograph of the current photo puzzle, drawn unscaled
// from the top-left corner of the window.
class WAN1 : public QWidget {
public:
    WAN1();

    const Picture& picture() const { return picture_; }
    void setPicture(const Picture& picture);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Form_Load();

    Picture picture_;
};

}  // namespace vorarid
