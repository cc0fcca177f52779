// The embedded pictures: at their sizes, pixel for pixel what Qt's readers
// make of the committed files, tiles that really are pieces of their
// photographs, each its own picture; and a build that refuses a broken one.
#include "picture_files.h"
#include "pictures.h"
#include "stored_pictures.h"

#include <QDir>
#include <QtEndian>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <set>
#include <utility>

using namespace vorarid;

namespace {

struct JpegFacts {
    bool baseline = false;
    bool progressive = false;
    bool jfif = false;
    bool extraSegments = false;  // EXIF, ICC or comments
    QByteArray sampling;         // per component: 0x22 is 2 x 2
};

JpegFacts readJpeg(const QByteArray& data) {
    JpegFacts facts;
    qsizetype i = 2;  // past SOI
    while (i + 4 <= data.size() && uchar(data[i]) == 0xFF) {
        const uchar marker = uchar(data[i + 1]);
        const int length = uchar(data[i + 2]) << 8 | uchar(data[i + 3]);
        if (marker == 0xE0 && data.mid(i + 4, 5) == QByteArray("JFIF\0", 5)) facts.jfif = true;
        if (marker == 0xE1 || marker == 0xE2 || marker == 0xFE) facts.extraSegments = true;
        if (marker == 0xC2) facts.progressive = true;
        if (marker == 0xC0) {
            facts.baseline = true;
            const int components = uchar(data[i + 9]);
            for (int c = 0; c < components; ++c) facts.sampling += data[i + 11 + 3 * c];
        }
        if (marker == 0xDA) break;  // the picture data follows
        i += 2 + length;
    }
    return facts;
}

QString committed(const QString& path) { return QStringLiteral(ASSETS_DIR "/") + path; }

QByteArray committedBytes(const QString& path) {
    QFile file(committed(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs the build's picture decoder; its exit code, and what it said on stderr.
std::pair<int, QString> decodePictures(const QString& assets, const QString& output) {
    QProcess tool;
    tool.start(QStringLiteral(DECODE_PICTURES), {assets, output});
    if (!tool.waitForFinished(120000)) return {-1, tool.errorString()};
    return {tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1, QString::fromUtf8(tool.readAllStandardError())};
}

double psnr(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            for (int d : {qRed(p) - qRed(q), qGreen(p) - qGreen(q), qBlue(p) - qBlue(q)}) sum += d * d;
        }
    const double mse = sum / (3.0 * a.width() * a.height());
    return 10 * std::log10(255.0 * 255.0 / mse);
}

}  // namespace

class TestPictures : public QObject {
    Q_OBJECT

    Pictures pictures_;

private slots:
    void initTestCase() { pictures_ = loadPictures(); }

    void everyPictureAtItsSize() {
        for (int set = 0; set < setCount; ++set)
            for (int n = 1; n <= tilesPerSet; ++n)
                QCOMPARE(pictures_.holders.tile(set, n).image()->size(), QSize(47, 47));
        for (int k = 1; k <= photoCount; ++k) QCOMPARE(pictures_.holders.image(k).image()->size(), QSize(235, 235));
        QCOMPARE(pictures_.icon.size(), QSize(32, 32));
        // The icon's mask survives: its corners are see-through, its middle is not.
        QCOMPARE(qAlpha(pictures_.icon.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(pictures_.icon.pixel(16, 16)), 255);
    }

    // What a player sees did not change when decoding moved into the build:
    // every picture is exactly Qt's decoding of its file, in the format the
    // game draws, laid out as Qt lays out an image of its own, and shared by
    // every load rather than copied.
    void picturesAreTheFilesAsQtDecodesThem() {
        const Pictures again = loadPictures();
        QCOMPARE(again.holders.tile(3, 9).image()->constBits(), pictures_.holders.tile(3, 9).image()->constBits());
        const auto compare = [](const QImage& shown, const QString& path, QImage::Format format) {
            QImageReader reader(committed(path));
            reader.setAutoTransform(false);
            const QImage decoded = reader.read().convertToFormat(format);
            QVERIFY2(!decoded.isNull(), qPrintable(path + u' ' + reader.errorString()));
            QCOMPARE(shown.format(), format);
            QVERIFY2(shown == decoded, qPrintable(path));
            QCOMPARE(shown.bytesPerLine(), decoded.bytesPerLine());
            QCOMPARE(quintptr(shown.constBits()) % stored::pixelAlignment, quintptr(0));
        };
        for (int set = 0; set < setCount; ++set)
            for (int n = 1; n <= tilesPerSet; ++n)
                compare(*pictures_.holders.tile(set, n).image(), tilePath(set, n), QImage::Format_RGB888);
        for (int k = 1; k <= photoCount; ++k) compare(*pictures_.holders.image(k).image(), photoPath(k), QImage::Format_RGB888);
        compare(pictures_.icon, iconPath(), QImage::Format_ARGB32_Premultiplied);
    }

    // Baseline JFIF; photographs 2 x 2 subsampled, number tiles not at all.
    void fileFormats() {
        for (int set = 0; set < setCount; ++set) {
            for (int n = 1; n <= tilesPerSet; ++n) {
                const JpegFacts facts = readJpeg(committedBytes(tilePath(set, n)));
                QVERIFY2(facts.jfif && facts.baseline && !facts.progressive && !facts.extraSegments,
                         qPrintable(tilePath(set, n)));
                QCOMPARE(facts.sampling, set == 0 ? QByteArray("\x11\x11\x11") : QByteArray("\x22\x11\x11"));
            }
        }
        for (int k = 1; k <= photoCount; ++k) {
            const JpegFacts facts = readJpeg(committedBytes(photoPath(k)));
            QVERIFY(facts.jfif && facts.baseline && !facts.extraSegments);
            QCOMPARE(facts.sampling, QByteArray("\x22\x11\x11"));
        }

        // One 32 x 32 image of 16 colours with its mask.
        const QByteArray icon = committedBytes(iconPath());
        QCOMPARE(icon.left(6), QByteArray("\0\0\1\0\1\0", 6));  // an icon file with one image
        QCOMPARE(uchar(icon[6]), uchar(32));
        QCOMPARE(uchar(icon[7]), uchar(32));
        const int offset = qFromLittleEndian<quint32>(icon.constData() + 18);
        QCOMPARE(qFromLittleEndian<qint32>(icon.constData() + offset + 8), 64);     // colour and mask rows
        QCOMPARE(qFromLittleEndian<quint16>(icon.constData() + offset + 14), 4);    // bits per pixel
        QCOMPARE(icon.size(), offset + 40 + 16 * 4 + 32 * 32 / 2 + 32 * 4);
    }

    // Tiles 1..25 at a 47-pixel pitch make up their photograph.
    void tilesReassembleThePhotographs() {
        for (int k = 1; k <= photoCount; ++k) {
            QImage assembled(235, 235, QImage::Format_RGB32);
            for (int n = 1; n <= tilesPerSet; ++n) {
                const QImage& tile = *pictures_.holders.tile(k, n).image();
                for (int y = 0; y < 47; ++y)
                    for (int x = 0; x < 47; ++x)
                        assembled.setPixel(47 * ((n - 1) % 5) + x, 47 * ((n - 1) / 5) + y, tile.pixel(x, y));
            }
            const double db = psnr(assembled, *pictures_.holders.image(k).image());
            QVERIFY2(db >= 28.0, qPrintable(QStringLiteral("photo %1: %2 dB").arg(k).arg(db)));
        }
    }

    // 125 tiles, each its own picture, none of them the blank.
    void identities() {
        std::set<const QImage*> objects;
        for (int set = 0; set < setCount; ++set)
            for (int n = 1; n <= tilesPerSet; ++n) {
                const Picture& tile = pictures_.holders.tile(set, n);
                QVERIFY(!same(tile, pictures_.holders.s0));
                objects.insert(tile.image());
            }
        QCOMPARE(objects.size(), size_t(125));
        QVERIFY(pictures_.holders.s0.isEmpty());
        QVERIFY(same(pictures_.holders.s0, Picture()));
        // A copy is the same picture; an equal-looking decode is not.
        const Picture copy = pictures_.holders.tile(2, 7);
        QVERIFY(same(copy, pictures_.holders.tile(2, 7)));
        QVERIFY(!same(Picture(*copy.image()), copy));
    }

    // A missing, broken or misshapen picture fails the build and is named;
    // in the game it would be a tile of nothing, a second blank. Made from
    // intact files elsewhere, the decoder's source is the build's own, byte
    // for byte: nothing in it depends on where or when it was made.
    void brokenPicturesFailTheBuild() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString root = dir.path() + u'/';
        for (const QString& sub : {QStringLiteral("tiles"), QStringLiteral("photos"), QStringLiteral("icon")})
            QVERIFY(QDir(root).mkpath(sub));
        const auto copy = [&](const QString& path) { QVERIFY(QFile::copy(committed(path), root + path)); };
        for (int set = 0; set < setCount; ++set)
            for (int n = 1; n <= tilesPerSet; ++n) copy(tilePath(set, n));
        for (int k = 1; k <= photoCount; ++k) copy(photoPath(k));
        copy(iconPath());
        const auto [intactCode, intactMessages] = decodePictures(dir.path(), root + QStringLiteral("intact.cpp"));
        QVERIFY2(intactCode == 0, qPrintable(intactMessages));
        QFile intact(root + QStringLiteral("intact.cpp")), built(QStringLiteral(STORED_PICTURES_SOURCE));
        QVERIFY(intact.open(QIODevice::ReadOnly) && built.open(QIODevice::ReadOnly));
        QVERIFY(intact.readAll() == built.readAll());

        QFile undecodable(root + tilePath(1, 7));  // ends as a whole JPEG does, and is none
        QVERIFY(undecodable.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QVERIFY(undecodable.write(committedBytes(tilePath(1, 7)).left(100) + "\xFF\xD9") > 0);
        undecodable.close();
        QImage(40, 47, QImage::Format_RGB32).save(root + tilePath(3, 25), "JPEG");
        QFile::remove(root + photoPath(2));
        QFile cutOff(root + photoPath(4));  // decodes, half grey, unless refused
        QVERIFY(cutOff.resize(cutOff.size() / 2));

        const QString output = root + QStringLiteral("broken.cpp");
        const auto [code, messages] = decodePictures(dir.path(), output);
        QCOMPARE(code, 1);
        const QStringList lines = messages.split(u'\n', Qt::SkipEmptyParts);
        const auto named = [&](const QString& path) {
            return std::count_if(lines.begin(), lines.end(), [&](const QString& line) { return line.contains(path); });
        };
        for (const QString& path : {tilePath(1, 7), tilePath(3, 25), photoPath(2), photoPath(4)})
            QVERIFY2(named(path) == 1, qPrintable(path + QStringLiteral(" not named once in:\n") + messages));
        QVERIFY(messages.contains(QStringLiteral("40 x 47")));
        QCOMPARE(named(QStringLiteral(".jpg")) + named(QStringLiteral(".ico")), 4);
        QVERIFY(!QFile::exists(output));
    }
};

QTEST_MAIN(TestPictures)
#include "test_pictures.moc"
