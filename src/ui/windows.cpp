#include "windows.h"

#include "message_box.h"

namespace vorarid {

void Windows::messageBox(const QString& prompt, const QString& title) { showMessageBox(prompt, title); }

}  // namespace vorarid
