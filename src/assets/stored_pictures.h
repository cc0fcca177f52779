#pragma once

#include "board.h"

#include <QImage>

#include <cstddef>

// The pictures as the build decoded them (vorarid_decode_pictures writes the
// definitions): raw pixels in the program's read-only data, laid out as a
// QImage of the same format lays out its own, so that an image can wrap them
// without a copy. A page of them is read from the program file only when a
// picture on it is drawn.
namespace vorarid::stored {

struct Layout {
    std::size_t offset;  // into its array, a multiple of pixelAlignment
    int width;
    int height;
    int bytesPerLine;  // Qt's own stride for the format: lines start 4-byte aligned
    QImage::Format format;
};

// A cache line: more than the 16 bytes that malloc gives a QImage of its own.
constexpr std::size_t pixelAlignment = 64;

// The tiles and photographs, in a segment of the program file of their own.
alignas(pixelAlignment) extern const unsigned char pixels[];
extern const Layout tiles[setCount][tilesPerSet];
extern const Layout photos[photoCount];

// The icon, read at start, with the program's other constants.
alignas(pixelAlignment) extern const unsigned char iconPixels[];
extern const Layout icon;

// Wraps stored pixels without copying them. Every QImage that shares them
// is const or detaches on its first write, so the read-only data is never
// written.
inline QImage image(const unsigned char* array, const Layout& layout) {
    return QImage(array + layout.offset, layout.width, layout.height, layout.bytesPerLine, layout.format);
}

}  // namespace vorarid::stored
