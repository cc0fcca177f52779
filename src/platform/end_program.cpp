#include "end_program.h"

#include "desktop_session.h"

#include <QApplication>
#include <QWidget>

namespace vorarid {

void endProgram() {
    for (QWidget* window : QApplication::topLevelWidgets()) window->hide();
    endEventLoop(0);
}

}  // namespace vorarid
