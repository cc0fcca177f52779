#include "help_window.h"

#include "form.h"
#include "modal_gate.h"
#include "texts.h"
#include "window_place.h"

#include <QLabel>
#include <QPushButton>

namespace vorarid {

도움말1::도움말1() {
    setUpFixedWindow(this, texts::helpCaption(), 2670, 3180, /*minimise=*/true);
    Label1 = makeLabel(this, twipsRect(0, 0, 2655, 2535), texts::helpText());
    Command1 = makeButton(this, twipsRect(720, 2640, 1095, 375), texts::okButton());
    connect(Command1, &QPushButton::clicked, this, unlessBlocked(this, [this] { Command1_Click(); }));
    Form_Load();
}

void 도움말1::Form_Load() { moveWindowTwips(this, 4000, 2500); }

void 도움말1::Command1_Click() { close(); }

}  // namespace vorarid
