#pragma once

#include "cell_view.h"
#include "game.h"
#include "windows.h"

#include <QMainWindow>

#include <array>

class QAction;
class QMenu;

namespace vorarid {

// The main window: the board of 26 cells under a menu bar. It owns the game.
class Vorarid : public QMainWindow {
public:
    Vorarid(Holders holders, Windows& windows);

    Game& game() { return game_; }
    const Game& game() const { return game_; }
    CellView* cell(int number) const { return cells_.at(number); }

    // The menu, by the names of its items.
    QMenu* 시작;
    QMenu* 새게임;
    QAction* Deveder;
    QAction* Rezovo;
    QAction* Dozud;
    QAction* Zede;
    QAction* 숫자퍼즐;
    QAction* 완성사진보기;
    QAction* 포기;
    QAction* 구분선;
    QAction* 끝내기;
    QMenu* 도움말;
    QAction* 돔말;
    QAction* 만든이;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildBoard();
    void buildMenu();
    void showCell(int number);  // the board's picture and its spoken name

    void Form_Load();
    void p_Click(int cell);
    void 숫자퍼즐_Click();
    void Dozud_Click();
    void Zede_Click();
    void Deveder_Click();
    void Rezovo_Click();
    void 완성사진보기_Click();
    void 포기_Click();
    void 끝내기_Click();
    void 돔말_Click();
    void 만든이_Click();

    Windows& windows_;
    Game game_;
    std::array<CellView*, cellCount> cells_{};
};

}  // namespace vorarid
