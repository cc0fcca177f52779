#pragma once

#include "board.h"

#include <QImage>
#include <QString>
#include <QStringList>

namespace vorarid {

// Everything the program shows, decoded once before the main window appears.
struct Pictures {
    Holders holders;
    QImage icon;
    // One line for each picture that failed to decode or has the wrong size.
    // A program with a broken picture must not start: a tile that decoded to
    // nothing would count as a second blank.
    QStringList problems;
};

// The embedded pictures are under ":/"; tests point `root` elsewhere.
Pictures loadPictures(const QString& root = QStringLiteral(":/"));

// Where a holder's picture is stored, below the root.
QString tilePath(int set, int n);  // tiles/s1.jpg .. tiles/sssss25.jpg
QString photoPath(int number);     // photos/Image1.jpg .. photos/Image4.jpg
QString iconPath();                // icon/vorarid.ico

constexpr int tilePixels = 47;
constexpr int photoPixels = 235;
constexpr int iconPixels = 32;

}  // namespace vorarid
