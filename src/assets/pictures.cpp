#include "pictures.h"

#include "stored_pictures.h"

namespace vorarid {
namespace {

// Wraps the stored pixels without copying them. Every QImage that shares
// them is const or detaches on its first write, so the read-only data is
// never written.
QImage wrap(const unsigned char* array, const stored::Layout& layout) {
    return QImage(array + layout.offset, layout.width, layout.height, layout.bytesPerLine, layout.format);
}

}  // namespace

Pictures loadPictures() {
    Pictures pictures;
    for (int set = 0; set < setCount; ++set)
        for (int n = 1; n <= tilesPerSet; ++n) pictures.holders.sets[set][n - 1] = Picture(wrap(stored::pixels, stored::tiles[set][n - 1]));
    for (int number = 1; number <= photoCount; ++number)
        pictures.holders.images[number - 1] = Picture(wrap(stored::pixels, stored::photos[number - 1]));
    pictures.icon = wrap(stored::iconPixels, stored::icon);
    return pictures;
}

}  // namespace vorarid
