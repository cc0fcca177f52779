#pragma once

#include "board.h"

#include <QImage>

namespace vorarid {

// Everything the program shows. The build decoded the pictures into the
// program, so nothing is decoded or copied here, and a picture's pixels are
// first read when it is drawn.
struct Pictures {
    Holders holders;
    QImage icon;
};

// Fresh picture objects on every call, all over the same read-only pixels:
// each call's 125 tiles are 125 pictures of their own.
Pictures loadPictures();

}  // namespace vorarid
