#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace vorarid {

// 만든이1: the program's name and who made its pictures.
class 만든이1 : public QWidget {
public:
    만든이1();

    QLabel* Label1;
    QLabel* Label2;
    QPushButton* Command1;

private:
    void Form_Load();
    void Command1_Click();
};

}  // namespace vorarid
