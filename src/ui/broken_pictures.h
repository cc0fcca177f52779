#pragma once

#include <QStringList>

namespace vorarid {

// Tells the player which embedded pictures are broken, on stderr and in a
// message box, and returns the exit code for a program that cannot start.
int refuseBrokenPictures(const QStringList& problems);

}  // namespace vorarid
