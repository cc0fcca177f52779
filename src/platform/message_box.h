#pragma once

#include <QString>

namespace vorarid {

// A modal box with the prompt, the title and one OK button, no icon, that
// blocks the whole program and belongs to the window the running command
// came from (else the active window). Returns when the player closes it.
void showMessageBox(const QString& prompt, const QString& title);

}  // namespace vorarid
