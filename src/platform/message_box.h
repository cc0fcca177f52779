#pragma once

#include <QString>

namespace vorarid {

// A modal box with the prompt, the title and one OK button, no icon.
// Returns when the player closes it.
void showMessageBox(const QString& prompt, const QString& title);

}  // namespace vorarid
