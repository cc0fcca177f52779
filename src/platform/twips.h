#pragma once

#include <QPoint>
#include <QSize>

namespace vorarid {

// Window and control geometry is designed in twips, 15 to a pixel at 96 dpi.
// Values that are not whole pixels round to the nearest pixel (4000 -> 267).
constexpr int twipsPerPixel = 15;

constexpr int twipsToPixels(int twips) {
    return (twips >= 0 ? twips + twipsPerPixel / 2 : twips - twipsPerPixel / 2) / twipsPerPixel;
}

constexpr QPoint twipsToPixels(int left, int top) { return {twipsToPixels(left), twipsToPixels(top)}; }
constexpr QSize twipsToPixelSize(int width, int height) {
    return {twipsToPixels(width), twipsToPixels(height)};
}

static_assert(twipsToPixels(4000) == 267);
static_assert(twipsToPixels(2500) == 167);
static_assert(twipsToPixels(2000) == 133);
static_assert(twipsToPixels(735) == 49);
static_assert(twipsToPixels(720) == 48);

}  // namespace vorarid
