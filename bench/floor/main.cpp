// The least a Qt Widgets program of the game's shape can cost: the same main
// window, menu bar and 26 pictured cells, and nothing else. The benchmark
// compares the game with it; the game cannot start faster or smaller.

#include <QApplication>
#include <QColor>
#include <QLabel>
#include <QLayout>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>

int main(int argc, char** argv) {
    QApplication app(argc, argv);

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Floor  "));

    auto* board = new QWidget(&window);
    board->setFixedSize(242, 289);
    for (int i = 0; i < 26; ++i) {
        // Cells 1..25 in five rows, the 26th under the 25th.
        const int row = i < 25 ? i / 5 : 5;
        const int column = i < 25 ? i % 5 : 4;
        QPixmap picture(47, 47);
        picture.fill(QColor::fromHsv(i * 360 / 26, 160, 220));
        auto* cell = new QLabel(board);
        cell->setFrameShape(QFrame::Box);
        cell->setPixmap(picture);
        cell->setGeometry(48 * column, 48 * row, 49, 49);
    }
    window.setCentralWidget(board);

    auto* bar = new QMenuBar(&window);
    bar->setNativeMenuBar(false);
    window.setMenuBar(bar);
    QMenu* start = bar->addMenu(QStringLiteral("시작"));
    QMenu* newGame = start->addMenu(QStringLiteral("새게임"));
    for (const char* name : {"Deveder", "Rezovo", "Dozud", "Zede"}) newGame->addAction(QString::fromLatin1(name));
    newGame->addAction(QStringLiteral("숫자퍼즐"));
    start->addAction(QStringLiteral("완성사진보기"));
    start->addAction(QStringLiteral("포기"));
    start->addSeparator();
    start->addAction(QStringLiteral("끝내기"), &app, &QApplication::quit);
    QMenu* help = bar->addMenu(QStringLiteral("도움말"));
    help->addAction(QStringLiteral("도움말"));
    help->addAction(QStringLiteral("만든이"));

    window.layout()->setSizeConstraint(QLayout::SetFixedSize);
    window.move(267, 133);
    window.show();
    return app.exec();
}
