#include "end_program.h"

#include <QApplication>
#include <QWidget>

namespace vorarid {

void endProgram() {
    for (QWidget* window : QApplication::topLevelWidgets()) window->hide();
    QCoreApplication::exit(0);
}

}  // namespace vorarid
