#include "harness.h"

#include "solver.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QTest>

#include <algorithm>

namespace vorarid::randomplay {
namespace {

const char* const kindNames[5] = {"숫자퍼즐", "Dozud", "Zede", "Deveder", "Rezovo"};

QAction* newGameAction(Vorarid& window, int kind) {
    switch (kind) {
    case 0: return window.숫자퍼즐;
    case 1: return window.Dozud;
    case 2: return window.Zede;
    case 3: return window.Deveder;
    default: return window.Rezovo;
    }
}

QString describeTile(const Tile& tile) {
    if (tile.isBlank()) return QStringLiteral(".");
    return QString(tile.set + 1, u's') + QString::number(tile.n);
}

QString describeBoard(const std::array<Tile, 26>& cells) {
    QStringList words;
    for (int cell = 1; cell <= 25; ++cell) words << describeTile(cells[cell]);
    return words.join(u' ') + QStringLiteral(" | ") + describeTile(cells[0]);
}

}  // namespace

QString Action::describe() const {
    switch (kind) {
    case click: return QStringLiteral("p%1").arg(arg);
    case newGame: return QStringLiteral("새게임>%1").arg(QString::fromUtf8(kindNames[arg]));
    case giveUp: return QStringLiteral("포기");
    case completedPicture: return QStringLiteral("완성사진보기");
    case help: return QStringLiteral("도움말");
    case credits: return QStringLiteral("만든이");
    case closeBox: return QStringLiteral("close(%1)").arg(secondaryName(Secondary(arg)));
    case okButton: return QStringLiteral("확인(%1)").arg(secondaryName(Secondary(arg)));
    case repaint: return QStringLiteral("repaint");
    }
    return QStringLiteral("?");
}

QString describe(const std::vector<Action>& actions) {
    QStringList words;
    for (const Action& action : actions) words << action.describe();
    return words.join(u' ');
}

// ---------------------------------------------------------------- Session

Session::Session(const Holders& holders, Fault fault)
    : windows_(std::make_unique<RecordingWindows>()),
      window_(std::make_unique<Vorarid>(holders, *windows_)),
      model_(fault) {
    window_->show();
}

Session::~Session() {
    window_.reset();
    windows_.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QWidget* Session::openWindow(Secondary which) const {
    switch (which) {
    case Secondary::help: return windows_->help.open();
    case Secondary::credits: return windows_->credits.open();
    case Secondary::picture: return windows_->completedPicture.open();
    case Secondary::congratulations: return windows_->congratulations.open();
    }
    return nullptr;
}

void Session::apply(const Action& action) {
    switch (action.kind) {
    case Action::click:
        QTest::mouseClick(window_->cell(action.arg), Qt::LeftButton);
        model_.click(action.arg);
        break;
    case Action::newGame: {
        const size_t before = windows_->draws.size();
        newGameAction(*window_, action.arg)->trigger();
        // The model cannot see the program's random sequence, only the value
        // it drew; a missing or extra draw shows up in check().
        model_.newGame(action.arg, windows_->draws.size() > before ? windows_->draws[before] : 0.0);
        break;
    }
    case Action::giveUp:
        window_->포기->trigger();
        model_.giveUp();
        break;
    case Action::completedPicture:
        window_->완성사진보기->trigger();
        model_.completedPicture();
        break;
    case Action::help:
        window_->돔말->trigger();
        model_.openWindow(Secondary::help);
        break;
    case Action::credits:
        window_->만든이->trigger();
        model_.openWindow(Secondary::credits);
        break;
    case Action::closeBox:
        if (QWidget* open = openWindow(Secondary(action.arg))) open->close();
        model_.closeWindow(Secondary(action.arg));
        break;
    case Action::okButton:
        if (Secondary(action.arg) == Secondary::help) {
            if (auto* open = windows_->help.open()) open->Command1->click();
        } else if (auto* open = windows_->credits.open()) {
            open->Command1->click();
        }
        model_.closeWindow(Secondary(action.arg));
        break;
    case Action::repaint:
        QCoreApplication::processEvents();
        break;
    }
    // A closed window is gone once its deferred delete has run.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QString Session::describeCell(const Picture& picture) const {
    const Holders& holders = window_->game().holders();
    if (same(picture, holders.s0)) return QStringLiteral(".");
    for (int set = 0; set < 5; ++set)
        for (int n = 1; n <= 25; ++n)
            if (same(picture, holders.tile(set, n))) return describeTile({set, n});
    for (int number = 1; number <= 4; ++number)
        if (same(picture, holders.image(number))) return QStringLiteral("Image%1").arg(number);
    return QStringLiteral("?");
}

QString Session::check() const {
    const Game& game = window_->game();
    const Holders& holders = game.holders();

    // The board, cell by cell, and what each cell view draws.
    for (int cell = 0; cell < 26; ++cell) {
        const Tile& expected = model_.cell(cell);
        const Picture& want = expected.isBlank() ? holders.s0 : holders.tile(expected.set, expected.n);
        const Picture& shown = game.board().cell(cell);
        if (!same(shown, want)) {
            QStringList board;
            for (int c = 1; c <= 25; ++c) board << describeCell(game.board().cell(c));
            return QStringLiteral("p%1 shows %2, the model has %3\n  program: %4 | %5\n  model:   %6")
                .arg(cell)
                .arg(describeCell(shown), describeTile(expected), board.join(u' '),
                     describeCell(game.board().cell(0)), describeBoard(model_.cells()));
        }
        if (!same(window_->cell(cell)->picture(), shown))
            return QStringLiteral("the view of p%1 draws %2 while the cell holds %3")
                .arg(cell)
                .arg(describeCell(window_->cell(cell)->picture()), describeCell(shown));
    }

    // Once dealt, the 25 tiles of one set and one blank; before, 26 blanks.
    // Read off the program's board, so a model that drifted into nonsense
    // along with the program would not pass either.
    int blanks = 0;
    std::array<int, 5> perSet{};
    std::array<bool, 26> seen{};
    for (int cell = 0; cell < 26; ++cell) {
        const Tile& tile = model_.cell(cell);  // equal to the program's, checked above
        if (tile.isBlank()) {
            ++blanks;
        } else {
            ++perSet[tile.set];
            if (seen[tile.n]) return QStringLiteral("tile %1 is on the board twice").arg(describeTile(tile));
            seen[tile.n] = true;
        }
    }
    if (game.kind() == noPuzzle) {
        if (blanks != 26) return QStringLiteral("before any game the board has %1 tiles").arg(26 - blanks);
    } else if (blanks != 1 || *std::max_element(perSet.begin(), perSet.end()) != 25) {
        return QStringLiteral("after a deal the board has %1 blanks and not 25 tiles of one set").arg(blanks);
    }
    if (game.kind() != model_.kind())
        return QStringLiteral("puzzle kind %1, the model has %2").arg(game.kind()).arg(model_.kind());

    if (windows_->draws.size() != size_t(model_.draws()))
        return QStringLiteral("%1 random values drawn, the model expects %2").arg(windows_->draws.size()).arg(model_.draws());
    if (windows_->congratulationsShown != model_.congratulations())
        return QStringLiteral("congratulations shown %1 times, the model says %2")
            .arg(windows_->congratulationsShown)
            .arg(model_.congratulations());
    if (windows_->messages != model_.messages()) {
        const auto& got = windows_->messages;
        const auto& want = model_.messages();
        return QStringLiteral("%1 message boxes (last \"%2\"), the model has %3 (last \"%4\")")
            .arg(got.size())
            .arg(got.isEmpty() ? QString() : got.last().title)
            .arg(want.size())
            .arg(want.isEmpty() ? QString() : want.last().title);
    }

    // The secondary windows: open means shown, closed means destroyed.
    for (int w = 0; w < secondaryCount; ++w) {
        const Secondary which = Secondary(w);
        QWidget* open = openWindow(which);
        if (bool(open) != model_.isOpen(which))
            return QStringLiteral("%1 is %2, the model has it %3")
                .arg(secondaryName(which), open ? QStringLiteral("alive") : QStringLiteral("gone"),
                     model_.isOpen(which) ? QStringLiteral("open") : QStringLiteral("closed"));
        if (open && !open->isVisible()) return QStringLiteral("%1 is alive but hidden").arg(secondaryName(which));
    }
    int visible = 0;
    for (QWidget* widget : QApplication::topLevelWidgets()) visible += widget->isVisible();
    if (visible != 1 + model_.openCount())
        return QStringLiteral("%1 top-level windows are visible, the model has %2").arg(visible).arg(1 + model_.openCount());
    if (!window_->isVisible()) return QStringLiteral("the main window has gone");

    if (const WAN1* picture = windows_->completedPicture.open()) {
        if (model_.shownPhoto() == 0) return QStringLiteral("WAN1 is open without a photograph");
        if (!same(picture->picture(), holders.image(model_.shownPhoto())))
            return QStringLiteral("WAN1 shows %1, the model has Image%2")
                .arg(describeCell(picture->picture()))
                .arg(model_.shownPhoto());
    }
    return {};
}

// ---------------------------------------------------------------- Player

Action Player::next(const ReferenceModel& model) {
    if (lastWasPlanned_) {
        planBoard_ = model.cells();
        lastWasPlanned_ = false;
    }
    if (moodLeft_-- <= 0) {
        const int roll = uniform(0, 99);
        mood_ = roll < 25 ? wander : roll < 50 ? slide : roll < 80 ? solve : finish;
        moodLeft_ = uniform(50, 1500);
    }
    ++actionsByMood[mood_];
    switch (mood_) {
    case wander: return anyAction(model);
    case slide: return slideAction(model);
    case solve: return solveAction(model);
    default: return finishAction(model);
    }
}

Action Player::anyAction(const ReferenceModel& model) {
    std::vector<Secondary> open;
    for (int w = 0; w < secondaryCount; ++w)
        if (model.isOpen(Secondary(w))) open.push_back(Secondary(w));

    const int roll = uniform(0, 99);
    if (roll < 62) return {Action::click, uniform(0, 25)};
    if (roll < 68) return {Action::newGame, uniform(0, 4)};
    if (roll < 71) return {Action::giveUp};
    if (roll < 75) return {Action::completedPicture};
    if (roll < 78) return {Action::help};
    if (roll < 81) return {Action::credits};
    if (roll < 83) return {Action::repaint};
    if (open.empty()) return {Action::click, uniform(0, 25)};
    const Secondary which = open[uniform(0, int(open.size()) - 1)];
    if ((which == Secondary::help || which == Secondary::credits) && chance(0.4)) return {Action::okButton, int(which)};
    return {Action::closeBox, int(which)};
}

Action Player::slideAction(const ReferenceModel& model) {
    const auto& cells = model.cells();
    const auto blank = std::find_if(cells.begin(), cells.end(), [](const Tile& t) { return t.isBlank(); });
    if (blank == cells.end() || model.kind() == 7 || !chance(0.85)) return anyAction(model);
    const std::vector<int> around = ReferenceModel::neighbours(int(blank - cells.begin()));
    return {Action::click, around[uniform(0, int(around.size()) - 1)]};
}

Action Player::solveAction(const ReferenceModel& model) {
    if (chance(0.04)) return anyAction(model);
    if (planPos_ < plan_.size() && model.cells() == planBoard_) {
        ++solverClicks;
        lastWasPlanned_ = true;
        if (planPos_ + 1 == plan_.size()) ++solverFinishes;
        return {Action::click, plan_[planPos_++]};
    }
    plan_.clear();
    planPos_ = 0;
    // The solver starts from a dealt position: tile 25 in p0, the blank in the grid.
    const int kind = model.kind();
    if (kind >= 0 && kind <= 4 && model.cell(0) == Tile{kind, 25}) {
        std::array<int, 26> tiles{};
        for (int cell = 0; cell < 26; ++cell) tiles[cell] = model.cell(cell).n;
        plan_ = testing::solveClicks(tiles);
    }
    if (plan_.empty()) {
        // Finished, or tile 25 has left p0: start again.
        if (chance(0.5)) return {Action::newGame, uniform(0, 4)};
        return anyAction(model);
    }
    ++solverPlans;
    ++solverClicks;
    planBoard_ = model.cells();
    lastWasPlanned_ = true;
    return {Action::click, plan_[planPos_++]};
}

Action Player::finishAction(const ReferenceModel& model) {
    const int kind = model.kind();
    if (kind < 0 || kind > 4) return {Action::newGame, uniform(0, 4)};
    bool inOrder = model.cell(0).isBlank();
    for (int n = 1; n <= 25 && inOrder; ++n) inOrder = model.cell(n) == Tile{kind, n};
    const int roll = uniform(0, 99);
    if (inOrder) {
        if (roll < 55) return {Action::click, 0};
        if (roll < 75 && model.isOpen(Secondary::congratulations))
            return {Action::closeBox, int(Secondary::congratulations)};
        if (roll < 80) return {Action::click, 25};  // out of order, and back with p0
        return anyAction(model);
    }
    if (roll < 50) return {Action::giveUp};
    if (roll < 58) return {Action::newGame, uniform(0, 4)};
    if (roll < 70 && model.cell(25).isBlank()) return {Action::click, 0};
    return anyAction(model);
}

// ---------------------------------------------------------------- replay and shrink

Replay replay(const Holders& holders, const std::vector<Action>& actions, Fault fault) {
    Session session(holders, fault);
    for (size_t i = 0; i < actions.size(); ++i) {
        session.apply(actions[i]);
        if (QString problem = session.check(); !problem.isEmpty()) return {long(i), problem};
    }
    return {};
}

Shrunk shrink(const Holders& holders, const std::vector<Action>& actions, long failedAt, Fault fault,
              std::chrono::seconds budget) {
    const auto deadline = std::chrono::steady_clock::now() + budget;
    const auto prefixFails = [&](long length) {
        return replay(holders, {actions.begin(), actions.begin() + length}, fault).failedAt >= 0;
    };

    // The smallest failing prefix length in (low, high]. The whole prefix up
    // to the divergence is assumed to fail; if even it does not (the program
    // depends on something besides the actions), it is reported as it is.
    long low = 0, high = failedAt + 1;
    while (high - low > 1) {
        const long middle = low + (high - low) / 2;
        (prefixFails(middle) ? high : low) = middle;
    }
    Shrunk result;
    result.prefix.assign(actions.begin(), actions.begin() + high);

    // Then leave out runs of actions, long runs first, for as long as the
    // sequence still diverges somewhere.
    std::vector<Action> current = result.prefix;
    Replay last = replay(holders, current, fault);
    for (size_t run = std::max<size_t>(current.size() / 2, 1); run >= 1; run /= 2) {
        for (size_t start = 0; start < current.size() && std::chrono::steady_clock::now() < deadline;) {
            std::vector<Action> candidate;
            candidate.insert(candidate.end(), current.begin(), current.begin() + long(start));
            candidate.insert(candidate.end(), current.begin() + long(std::min(start + run, current.size())), current.end());
            if (Replay r = replay(holders, candidate, fault); r.failedAt >= 0) {
                candidate.resize(size_t(r.failedAt) + 1);
                current = std::move(candidate);
                last = r;
            } else {
                start += run;
            }
        }
        if (run == 1 || std::chrono::steady_clock::now() >= deadline) break;
    }
    result.reduced = current;
    result.problem = last.failedAt >= 0 ? last.problem : QStringLiteral("(did not diverge again on a fresh window)");
    return result;
}

}  // namespace vorarid::randomplay
