#include "picture_files.h"
#include "pictures.h"
#include "stored_pictures.h"

#include <QResource>

namespace vorarid {
namespace {

// The committed file as the program carries it: in its resources, stored
// as it is (JPEG files do not compress).
QByteArrayView carried(const QString& path) {
    const QResource resource(QStringLiteral(":/pictures/") + path);
    return {reinterpret_cast<const char*>(resource.data()), qsizetype(resource.size())};
}

}  // namespace

// Where bytes cost more than decoding (a page that is downloaded), the
// program carries the tiles and photographs as their files, a sixth of
// their pixels' size, and decodes each one the first time it is drawn. The
// icon, which the first window shows, comes decoded: 4 KB, and no decoder
// at start.
Pictures loadPictures() {
    Pictures pictures;
    for (int set = 0; set < setCount; ++set)
        for (int n = 1; n <= tilesPerSet; ++n) pictures.holders.sets[set][n - 1] = Picture::fromFile(carried(tilePath(set, n)));
    for (int number = 1; number <= photoCount; ++number)
        pictures.holders.images[number - 1] = Picture::fromFile(carried(photoPath(number)));
    pictures.icon = stored::image(stored::iconPixels, stored::icon);
    return pictures;
}

}  // namespace vorarid
