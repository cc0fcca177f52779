#include "pictures.h"

#include <QImageReader>

namespace vorarid {
namespace {

QImage decode(const QString& path, const char* format, int pixels, QStringList& problems) {
    QImageReader reader(path, format);
    reader.setAutoTransform(false);
    QImage image = reader.read();
    if (image.isNull()) {
        problems << QStringLiteral("%1: %2").arg(path, reader.errorString());
    } else if (image.size() != QSize(pixels, pixels)) {
        problems << QStringLiteral("%1: %2 x %3 pixels instead of %4 x %4")
                        .arg(path)
                        .arg(image.width())
                        .arg(image.height())
                        .arg(pixels);
        image = {};
    } else {
        // Drawn often and never changed: keep them in the screen's own format.
        image = std::move(image).convertToFormat(QImage::Format_RGB32);
    }
    return image;
}

}  // namespace

QString tilePath(int set, int n) { return QStringLiteral("tiles/%1%2.jpg").arg(QString(set + 1, u's')).arg(n); }
QString photoPath(int number) { return QStringLiteral("photos/Image%1.jpg").arg(number); }
QString iconPath() { return QStringLiteral("icon/vorarid.ico"); }

Pictures loadPictures(const QString& root) {
    Pictures pictures;
    QStringList& problems = pictures.problems;
    for (int set = 0; set < setCount; ++set) {
        for (int n = 1; n <= tilesPerSet; ++n)
            pictures.holders.sets[set][n - 1] = Picture(decode(root + tilePath(set, n), "jpeg", tilePixels, problems));
    }
    for (int number = 1; number <= photoCount; ++number)
        pictures.holders.images[number - 1] = Picture(decode(root + photoPath(number), "jpeg", photoPixels, problems));
    pictures.icon = decode(root + iconPath(), "ico", iconPixels, problems);
    return pictures;
}

}  // namespace vorarid
