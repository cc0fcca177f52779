// Decodes the committed pictures once, while the program is built, into the
// raw pixels that the program embeds (stored_pictures.h): the game then needs
// no image decoder, and starts without touching a picture.
//
//   vorarid_decode_pictures ASSETS_DIR OUTPUT.cpp
//
// A picture that is missing, cut off, undecodable or of the wrong size fails
// the build and is named: in the game it would have been a tile of nothing,
// which counts as a second blank. The output is the same, byte for byte,
// whenever and wherever it is made: it holds no time and no path but the
// pictures' own names below ASSETS_DIR.

#include "picture_files.h"
#include "stored_pictures.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QImageReader>
#include <QSaveFile>
#include <QStringList>

#include <cstdio>

using namespace vorarid;

namespace {

// Tiles and photographs keep 3 bytes a pixel (they are drawn opaque); the
// icon keeps its transparency.
QImage decode(const QString& path, const char* format, int pixels, QImage::Format kept, QStringList& problems) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        problems << QStringLiteral("%1: %2").arg(path, file.errorString());
        return {};
    }
    QByteArray data = file.readAll();
    // The JPEG decoder fills a cut-off picture with grey and calls it a
    // success; a complete one ends with its end-of-image marker.
    if (qstrcmp(format, "jpeg") == 0 && !data.endsWith("\xFF\xD9")) {
        problems << QStringLiteral("%1: the picture is cut off").arg(path);
        return {};
    }
    QBuffer buffer(&data);
    QImageReader reader(&buffer, format);
    reader.setAutoTransform(false);
    const QImage image = reader.read();
    if (image.isNull()) {
        problems << QStringLiteral("%1: %2").arg(path, reader.errorString());
        return {};
    }
    if (image.size() != QSize(pixels, pixels)) {
        problems << QStringLiteral("%1: %2 x %3 pixels instead of %4 x %4")
                        .arg(path)
                        .arg(image.width())
                        .arg(image.height())
                        .arg(pixels);
        return {};
    }
    return image.convertToFormat(kept);
}

const char* formatName(QImage::Format format) {
    return format == QImage::Format_RGB888 ? "QImage::Format_RGB888" : "QImage::Format_ARGB32_Premultiplied";
}

// One array of the generated source: every picture's lines one after the
// other, padded as a QImage pads them (Qt leaves its padding bytes unset;
// here they are zero), each picture starting on the alignment that
// stored_pictures.h promises.
class PixelArray {
public:
    // The picture's stored::Layout, as an initialiser.
    QByteArray add(const QString& name, const QImage& image) {
        for (; size_ % stored::pixelAlignment != 0; ++size_) text_ += "0,";
        text_ += "\n// " + name.toUtf8() + '\n';
        const std::size_t offset = size_;
        const qsizetype used = image.width() * image.depth() / 8;
        for (int y = 0; y < image.height(); ++y) {
            const uchar* line = image.constScanLine(y);
            for (qsizetype x = 0; x < image.bytesPerLine(); ++x) text_ += QByteArray::number(x < used ? line[x] : 0) + ',';
            text_ += '\n';
            size_ += std::size_t(image.bytesPerLine());
        }
        return QStringLiteral("{%1, %2, %3, %4, %5}")
            .arg(offset)
            .arg(image.width())
            .arg(image.height())
            .arg(image.bytesPerLine())
            .arg(QLatin1String(formatName(image.format())))
            .toUtf8();
    }

    QByteArray definition(const QByteArray& declaration) const { return declaration + " = {" + text_ + "\n};\n"; }

private:
    QByteArray text_;
    std::size_t size_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() != 3) {
        std::fputs("usage: vorarid_decode_pictures ASSETS_DIR OUTPUT.cpp\n", stderr);
        return 2;
    }
    const QString root = arguments[1] + u'/';

    // The tiles and photographs lie in a section of their own, which the
    // linker puts in a segment of its own, after the program's other data:
    // the kernel maps the neighbours of every page that is read, and here
    // none of those reads at start is a neighbour of theirs. The icon, which
    // is read at start, stays with the other constants.
    PixelArray pictureArray, iconArray;
    QStringList problems;
    // One line of a table of layouts: the picture's, and its name.
    const auto entry = [&](PixelArray& array, const QString& name, const char* format, int pixels, QImage::Format kept,
                           const char* indent, char end) {
        const QImage image = decode(root + name, format, pixels, kept, problems);
        const QByteArray layout = image.isNull() ? QByteArray("{}") : array.add(name, image);
        return indent + layout + end + "  // " + name.toUtf8() + '\n';
    };
    QByteArray text = "// Made by vorarid_decode_pictures from the pictures in src/assets; not to be edited.\n"
                      "#include \"stored_pictures.h\"\n\n"
                      "namespace vorarid::stored {\n\n"
                      "const Layout tiles[setCount][tilesPerSet] = {\n";
    for (int set = 0; set < setCount; ++set) {
        text += "    {\n";
        for (int n = 1; n <= tilesPerSet; ++n)
            text += entry(pictureArray, tilePath(set, n), "jpeg", tilePixels, QImage::Format_RGB888, "        ", ',');
        text += "    },\n";
    }
    text += "};\n\nconst Layout photos[photoCount] = {\n";
    for (int number = 1; number <= photoCount; ++number)
        text += entry(pictureArray, photoPath(number), "jpeg", photoPixels, QImage::Format_RGB888, "    ", ',');
    text += "};\n\n";
    text += entry(iconArray, iconPath(), "ico", iconPixels, QImage::Format_ARGB32_Premultiplied, "const Layout icon = ", ';');
    text += '\n' + pictureArray.definition("[[gnu::section(\".lrodata\")]] alignas(pixelAlignment) const unsigned char pixels[]");
    text += '\n' + iconArray.definition("alignas(pixelAlignment) const unsigned char iconPixels[]");
    text += "\n}  // namespace vorarid::stored\n";
    if (!problems.isEmpty()) {
        std::fprintf(stderr, "vorarid_decode_pictures: broken pictures:\n%s\n", qPrintable(problems.join(u'\n')));
        return 1;
    }

    QSaveFile output(arguments[2]);
    if (!output.open(QIODevice::WriteOnly) || output.write(text) < 0 || !output.commit()) {
        std::fprintf(stderr, "vorarid_decode_pictures: %s: %s\n", qPrintable(arguments[2]), qPrintable(output.errorString()));
        return 1;
    }
    return 0;
}
