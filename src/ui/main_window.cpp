#include "main_window.h"

#include "end_program.h"
#include "form.h"
#include "modal_gate.h"
#include "texts.h"
#include "twips.h"
#include "window_place.h"

#include <QCloseEvent>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>

namespace vorarid {

Vorarid::Vorarid(Holders holders, Windows& windows) : windows_(windows), game_(std::move(holders), windows) {
    setWindowFlags(fixedWindowFlags(/*minimise=*/true));
    setWindowTitle(texts::mainCaption());
    buildBoard();
    buildMenu();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    game_.board().onCellChanged([this](int number) { showCell(number); });
    for (int number = 0; number < cellCount; ++number) showCell(number);
    Form_Load();
}

// The client area holds the board and nothing else: cells 735 twips square
// at a 720-twip pitch, so neighbours share their border line, and p0 alone
// in a sixth row under p25.
void Vorarid::buildBoard() {
    auto* board = new QWidget(this);
    board->setFixedSize(twipsToPixelSize(3630, 4335));
    for (int number : {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13,
                       14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 0}) {
        auto* cell = new CellView(number, board);
        cell->setObjectName(QStringLiteral("p%1").arg(number));
        cell->setGeometry(twipsRect(720 * columnOf(number), 720 * rowOf(number), 735, 735));
        cell->onClicked(unlessBlocked(this, [this, number] { p_Click(number); }));
        cells_[number] = cell;
    }
    setCentralWidget(board);
}

void Vorarid::buildMenu() {
    auto* bar = new QMenuBar(this);
    bar->setNativeMenuBar(false);  // the client area sits right under it
    setMenuBar(bar);

    const auto command = [this](QMenu* menu, const QString& caption, void (Vorarid::*handler)()) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(caption);
        connect(action, &QAction::triggered, this, unlessBlocked(this, [this, handler] { (this->*handler)(); }));
        return action;
    };

    시작 = bar->addMenu(QStringLiteral("시작"));
    새게임 = 시작->addMenu(QStringLiteral("새게임"));
    Deveder = command(새게임, QStringLiteral("Deveder"), &Vorarid::Deveder_Click);
    Rezovo = command(새게임, QStringLiteral("Rezovo"), &Vorarid::Rezovo_Click);
    Dozud = command(새게임, QStringLiteral("Dozud"), &Vorarid::Dozud_Click);
    Zede = command(새게임, QStringLiteral("Zede"), &Vorarid::Zede_Click);
    숫자퍼즐 = command(새게임, QStringLiteral("숫자퍼즐"), &Vorarid::숫자퍼즐_Click);
    완성사진보기 = command(시작, QStringLiteral("완성사진보기"), &Vorarid::완성사진보기_Click);
    포기 = command(시작, QStringLiteral("포기"), &Vorarid::포기_Click);
    구분선 = 시작->addSeparator();
    끝내기 = command(시작, QStringLiteral("끝내기"), &Vorarid::끝내기_Click);

    도움말 = bar->addMenu(QStringLiteral("도움말"));
    돔말 = command(도움말, QStringLiteral("도움말"), &Vorarid::돔말_Click);
    만든이 = command(도움말, QStringLiteral("만든이"), &Vorarid::만든이_Click);
}

void Vorarid::showCell(int number) {
    const Picture& picture = game_.board().cell(number);
    CellView* cell = cells_[number];
    if (same(cell->picture(), picture) && !cell->accessibleName().isEmpty()) return;
    cell->setPicture(picture);
    const TileName tile = game_.holders().identify(picture);
    cell->setAccessibleName(texts::cellAccessibleName(number, tile.set, tile.number));
}

void Vorarid::Form_Load() {
    moveWindowTwips(this, 4000, 2000);
    game_.setKind(noPuzzle);
}

void Vorarid::p_Click(int cell) { game_.click(cell); }

void Vorarid::숫자퍼즐_Click() { game_.startNewGame(0); }
void Vorarid::Dozud_Click() { game_.startNewGame(1); }
void Vorarid::Zede_Click() { game_.startNewGame(2); }
void Vorarid::Deveder_Click() { game_.startNewGame(3); }
void Vorarid::Rezovo_Click() { game_.startNewGame(4); }

void Vorarid::완성사진보기_Click() { game_.viewCompletedPicture(); }
void Vorarid::포기_Click() { game_.giveUp(); }

void Vorarid::끝내기_Click() { endProgram(); }
void Vorarid::돔말_Click() { windows_.help.show(); }
void Vorarid::만든이_Click() { windows_.credits.show(); }

// Closing the main window ends the game, secondary windows and all.
void Vorarid::closeEvent(QCloseEvent* event) {
    event->accept();
    endProgram();
}

}  // namespace vorarid
