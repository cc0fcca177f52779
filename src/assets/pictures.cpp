#include "pictures.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

namespace vorarid {
namespace {

// Tiles and photographs keep 3 bytes a pixel (they are drawn opaque); the
// icon keeps its transparency.
QImage decode(const QString& path, const char* format, int pixels, QImage::Format kept, QStringList& problems) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        problems << QStringLiteral("%1: %2").arg(path, file.errorString());
        return {};
    }
    const QByteArray data = file.readAll();
    // The JPEG decoder fills a cut-off picture with grey and calls it a
    // success; a complete one ends with its end-of-image marker.
    if (qstrcmp(format, "jpeg") == 0 && !data.endsWith("\xFF\xD9")) {
        problems << QStringLiteral("%1: the picture is cut off").arg(path);
        return {};
    }
    QBuffer buffer;
    buffer.setData(data);
    QImageReader reader(&buffer, format);
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
        image = std::move(image).convertToFormat(kept);
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
            pictures.holders.sets[set][n - 1] = Picture(decode(root + tilePath(set, n), "jpeg", tilePixels, QImage::Format_RGB888, problems));
    }
    for (int number = 1; number <= photoCount; ++number)
        pictures.holders.images[number - 1] = Picture(decode(root + photoPath(number), "jpeg", photoPixels, QImage::Format_RGB888, problems));
    pictures.icon = decode(root + iconPath(), "ico", iconPixels, QImage::Format_ARGB32_Premultiplied, problems);
    return pictures;
}

}  // namespace vorarid
