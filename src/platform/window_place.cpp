#include "window_place.h"

#include "twips.h"

#include <QLayout>
#include <QWidget>

namespace vorarid {

void moveWindowTwips(QWidget* window, int leftTwips, int topTwips) {
    if (!window->testAttribute(Qt::WA_WState_Created)) {
        // What show() would do before mapping the window: a window that
        // grows then (a main window's menu bar, say) is placed by its client
        // area (Static gravity) instead.
        window->ensurePolished();
        if (QLayout* layout = window->layout()) layout->activate();
    }
    window->move(twipsToPixels(leftTwips, topTwips));
}

}  // namespace vorarid
