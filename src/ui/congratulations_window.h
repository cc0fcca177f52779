#pragma once

#include <QWidget>

class QLabel;

namespace vorarid {

// 축하1: shown when the board is finished. Only its close box closes it.
class 축하1 : public QWidget {
public:
    축하1();

    QLabel* Label1;
    QLabel* Label2;

private:
    void Form_Load();
};

}  // namespace vorarid
