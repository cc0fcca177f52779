#pragma once

#include "board.h"
#include "main_window.h"
#include "recording_windows.h"
#include "reference_model.h"

#include <QString>

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

namespace vorarid::randomplay {

// One thing a player can do.
struct Action {
    enum Kind : std::uint8_t {
        click,             // arg: cell 0..25
        newGame,           // arg: puzzle kind 0..4
        giveUp,
        completedPicture,
        help,
        credits,
        closeBox,          // arg: Secondary
        okButton,          // arg: Secondary::help or Secondary::credits
        repaint,           // let the event loop run: paint, expose, timers
    };
    Kind kind;
    int arg = 0;

    QString describe() const;
};

QString describe(const std::vector<Action>& actions);

// The real main window and the reference model, driven by the same actions.
class Session {
public:
    Session(const Holders& holders, Fault fault = Fault::none);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    void apply(const Action& action);
    // The first difference between the program and the model, or an empty string.
    QString check() const;

    const ReferenceModel& model() const { return model_; }
    Vorarid& window() { return *window_; }
    RecordingWindows& windows() { return *windows_; }

private:
    QWidget* openWindow(Secondary which) const;
    QString describeCell(const Picture& picture) const;

    std::unique_ptr<RecordingWindows> windows_;  // outlives the main window, as in the program
    std::unique_ptr<Vorarid> window_;
    ReferenceModel model_;
};

// Picks actions at random. It reads only the model, so a recorded run can
// be replayed without it. Uniform choice would almost never finish a board,
// so it switches between moods: poking anywhere, sliding tiles next to the
// blank, following a solver to the end, and giving up to click p0.
class Player {
public:
    enum Mood { wander, slide, solve, finish, moodCount };

    explicit Player(std::uint64_t seed) : rng_(seed) {}
    Action next(const ReferenceModel& model);

    std::array<long, moodCount> actionsByMood{};
    long solverClicks = 0;
    long solverPlans = 0;
    long solverFinishes = 0;  // plans played to their last click, p0

private:
    Action anyAction(const ReferenceModel& model);
    Action slideAction(const ReferenceModel& model);
    Action solveAction(const ReferenceModel& model);
    Action finishAction(const ReferenceModel& model);
    int uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }
    bool chance(double p) { return std::bernoulli_distribution(p)(rng_); }

    std::mt19937_64 rng_;
    Mood mood_ = wander;
    int moodLeft_ = 0;
    std::vector<int> plan_;
    size_t planPos_ = 0;
    std::array<Tile, 26> planBoard_{};  // what the board looks like when the plan's next click is due
    bool lastWasPlanned_ = false;
};

// Plays `actions` on a fresh window and model; the index of the first action
// after which they differ (and the difference), or -1.
struct Replay {
    long failedAt = -1;
    QString problem;
};
Replay replay(const Holders& holders, const std::vector<Action>& actions, Fault fault = Fault::none);

// From a run that diverged after action `failedAt`: the shortest prefix that
// still diverges on a fresh window, then that prefix with as many actions
// left out as a time budget allows.
struct Shrunk {
    std::vector<Action> prefix;
    std::vector<Action> reduced;
    QString problem;  // as the reduced sequence shows it
};
Shrunk shrink(const Holders& holders, const std::vector<Action>& actions, long failedAt, Fault fault,
              std::chrono::seconds budget);

}  // namespace vorarid::randomplay
