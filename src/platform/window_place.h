#pragma once

class QWidget;

namespace vorarid {

// Moves a top-level window so that the outer top-left corner of its frame
// lands at (left, top) twips on the screen; width and height stay.
//
// Before a window is first shown nobody knows how big the window manager's
// frame will be, so a window moved then is checked once more when it appears
// and nudged until its frame, not its client area, sits at the point.
void moveWindowTwips(QWidget* window, int leftTwips, int topTwips);

}  // namespace vorarid
