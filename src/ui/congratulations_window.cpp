#include "congratulations_window.h"

#include "form.h"
#include "texts.h"
#include "window_place.h"

#include <QLabel>

namespace vorarid {

축하1::축하1() {
    setUpFixedWindow(this, texts::congratulationsCaption(), 4245, 2280, /*minimise=*/false);
    Label1 = makeLabel(this, twipsRect(240, 120, 3735, 735), texts::congratulationsTitle(), QColor(255, 255, 0),
                       QColor(0, 0, 0), gulim(27.75, 400));
    Label2 = makeLabel(this, twipsRect(120, 1080, 3975, 1095), texts::congratulationsText(), QColor(0, 255, 255),
                       QColor(192, 0, 192), gulim(12, 400));
    Form_Load();
}

void 축하1::Form_Load() { moveWindowTwips(this, 4000, 3000); }

}  // namespace vorarid
