#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace vorarid {

// 도움말1: how to play, with a button that closes the window.
class 도움말1 : public QWidget {
public:
    도움말1();

    QLabel* Label1;
    QPushButton* Command1;

private:
    void Form_Load();
    void Command1_Click();
};

}  // namespace vorarid
