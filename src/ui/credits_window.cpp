#include "credits_window.h"

#include "form.h"
#include "modal_gate.h"
#include "texts.h"
#include "window_place.h"

#include <QLabel>
#include <QPushButton>

namespace vorarid {

만든이1::만든이1() {
    setUpFixedWindow(this, texts::creditsCaption(), 3915, 2010, /*minimise=*/false);
    Label1 = makeLabel(this, twipsRect(960, 120, 1815, 495), texts::creditsTitle(), QColor(0, 0, 0),
                       palette().color(QPalette::Window), gulim(21.75, 700));
    Label2 = makeLabel(this, twipsRect(120, 690, 3675, 810), texts::creditsText());
    Command1 = makeButton(this, twipsRect(1200, 1560, 1335, 375), texts::okButton());
    connect(Command1, &QPushButton::clicked, this, unlessBlocked(this, [this] { Command1_Click(); }));
    Form_Load();
}

void 만든이1::Form_Load() { moveWindowTwips(this, 3000, 2000); }

void 만든이1::Command1_Click() { close(); }

}  // namespace vorarid
