#pragma once

#include "board.h"

#include <QString>

// The committed picture files, as tools/make-assets writes them: what the
// build decodes into the program, and what the tests hold the program's
// pictures against. Paths are below src/assets.
namespace vorarid {

inline QString tilePath(int set, int n) {  // tiles/s1.jpg .. tiles/sssss25.jpg
    return QStringLiteral("tiles/%1%2.jpg").arg(QString(set + 1, u's')).arg(n);
}
inline QString photoPath(int number) { return QStringLiteral("photos/Image%1.jpg").arg(number); }  // Image1..4
inline QString iconPath() { return QStringLiteral("icon/vorarid.ico"); }

constexpr int tilePixels = 47;
constexpr int photoPixels = 235;
constexpr int iconPixels = 32;

}  // namespace vorarid
