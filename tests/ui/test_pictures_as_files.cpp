// The pictures as a page carries them: the committed tiles and photographs,
// each decoded the first time it is drawn, into exactly what Qt's readers
// make of that file.
#include "picture_files.h"
#include "pictures.h"

#include <QImageReader>
#include <QTest>

#include <set>

using namespace vorarid;

class TestPicturesAsFiles : public QObject {
    Q_OBJECT

private slots:
    void eachPictureIsItsFileDecodedWhenFirstDrawn() {
        const Pictures pictures = loadPictures();
        const auto check = [](const Picture& picture, const QString& path, QSize size) {
            QVERIFY2(!picture.decoded(), qPrintable(path + QStringLiteral(": decoded before it was drawn")));
            QImageReader reader(QStringLiteral(ASSETS_DIR "/") + path);
            const QImage file = reader.read();
            QVERIFY2(!file.isNull(), qPrintable(path));
            QCOMPARE(picture.image()->size(), size);
            QVERIFY2(picture.image()->convertToFormat(file.format()) == file, qPrintable(path));
            QVERIFY(picture.decoded());
        };
        std::set<const QImage*> objects;
        for (int set = 0; set < setCount; ++set)
            for (int n = 1; n <= tilesPerSet; ++n) {
                check(pictures.holders.tile(set, n), tilePath(set, n), QSize(tilePixels, tilePixels));
                objects.insert(pictures.holders.tile(set, n).image());
            }
        QCOMPARE(objects.size(), size_t(setCount * tilesPerSet));
        for (int k = 1; k <= photoCount; ++k) check(pictures.holders.image(k), photoPath(k), QSize(photoPixels, photoPixels));
        QVERIFY(pictures.holders.s0.isEmpty());

        // A copy shares the decoding: decoded through one, decoded for all.
        const Pictures again = loadPictures();
        const Picture copy = again.holders.tile(2, 7);
        QVERIFY(same(copy, again.holders.tile(2, 7)) && !same(copy, pictures.holders.tile(2, 7)));
        QCOMPARE(copy.image(), again.holders.tile(2, 7).image());
        QVERIFY(again.holders.tile(2, 7).decoded());

        // The icon, which comes decoded, keeps its mask.
        QCOMPARE(pictures.icon.size(), QSize(iconPixels, iconPixels));
        QCOMPARE(qAlpha(pictures.icon.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(pictures.icon.pixel(16, 16)), 255);
    }
};

QTEST_MAIN(TestPicturesAsFiles)
#include "test_pictures_as_files.moc"
