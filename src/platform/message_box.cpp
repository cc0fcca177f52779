#include "message_box.h"

#include <QApplication>
#include <QMessageBox>

namespace vorarid {

void showMessageBox(const QString& prompt, const QString& title) {
    // No parent: the box belongs to no window and blocks the whole program.
    QMessageBox box(QMessageBox::NoIcon, title, prompt, QMessageBox::Ok);
    box.setWindowIcon(QApplication::windowIcon());
    box.exec();
}

}  // namespace vorarid
