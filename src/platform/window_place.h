#pragma once

class QWidget;

namespace vorarid {

// Moves a top-level window so that the outer top-left corner of its frame
// lands at (left, top) twips on the screen; width and height stay.
//
// A window not shown yet is placed by the window manager itself: Qt asks
// for the frame's corner (ICCCM's NorthWest gravity) when a window is moved
// before it has a native window and then shown at the size it had when that
// native window was made. So the window's final size is settled here first.
void moveWindowTwips(QWidget* window, int leftTwips, int topTwips);

}  // namespace vorarid
