// Random play on the real main window against a reference model of the rules.
//
// VORARID_RANDOM_SEED picks the run (a fixed default otherwise) and
// VORARID_RANDOM_ACTIONS its length. A divergence is reported with the seed,
// the shortest prefix of the run that shows it on a fresh window, and a
// shorter sequence found by leaving actions out.
#include "harness.h"
#include "pictures.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

#include <map>

using namespace vorarid;
using namespace vorarid::randomplay;

namespace {

constexpr std::uint64_t defaultSeed = 20261208;
constexpr long defaultActions = 100000;

std::uint64_t seedFromEnvironment() {
    bool ok = false;
    const std::uint64_t seed = qEnvironmentVariable("VORARID_RANDOM_SEED").toULongLong(&ok);
    return ok ? seed : defaultSeed;
}

// To see what a divergence report looks like: 1..4 play against a
// deliberately wrong model.
Fault faultFromEnvironment() {
    const int fault = qEnvironmentVariableIntValue("VORARID_RANDOM_FAULT");
    return fault >= 1 && fault <= 4 ? Fault(fault) : Fault::none;
}

long actionsFromEnvironment() {
    bool ok = false;
    const long count = qEnvironmentVariable("VORARID_RANDOM_ACTIONS").toLong(&ok);
    return ok && count > 0 ? count : defaultActions;
}

struct Run {
    std::vector<Action> actions;
    long failedAt = -1;
    QString problem;
    int congratulations = 0;
    std::map<std::pair<int, int>, int> deals;  // (kind, layout) -> how often
    std::array<long, 9> byKind{};
    Player player;

    explicit Run(std::uint64_t seed) : player(seed) {}
};

void play(Run& run, Session& session, long count) {
    run.actions.reserve(size_t(count));
    for (long i = 0; i < count; ++i) {
        const Action action = run.player.next(session.model());
        run.actions.push_back(action);
        session.apply(action);
        if (QString problem = session.check(); !problem.isEmpty()) {
            run.failedAt = i;
            run.problem = problem;
            break;
        }
        ++run.byKind[action.kind];
        if (action.kind == Action::newGame)
            ++run.deals[{action.arg, int(session.windows().draws.back() * 4) + 1}];
    }
    run.congratulations = session.model().congratulations();
}

// The offscreen platform says, every time a window is raised or sized, that
// it cannot do that; thousands of those lines would bury a real warning.
QtMessageHandler passOn = nullptr;
void dropPlatformNoise(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg && message.startsWith(QLatin1String("This plugin does not support"))) return;
    passOn(type, context, message);
}

}  // namespace

class TestRandomPlay : public QObject {
    Q_OBJECT

    Holders holders_;

private slots:
    void initTestCase() {
        passOn = qInstallMessageHandler(dropPlatformNoise);
        holders_ = loadPictures().holders;
    }

    void randomPlayMatchesTheModel() {
        const std::uint64_t seed = seedFromEnvironment();
        const long count = actionsFromEnvironment();
        const Fault fault = faultFromEnvironment();
        qInfo("seed %llu, %ld actions (VORARID_RANDOM_SEED, VORARID_RANDOM_ACTIONS)", static_cast<unsigned long long>(seed),
              count);

        QElapsedTimer timer;
        timer.start();
        Run run(seed);
        {
            Session session(holders_, fault);
            play(run, session, count);
        }
        const double seconds = timer.elapsed() / 1000.0;

        if (run.failedAt >= 0) {
            qWarning("seed %llu: after action %ld of the run: %s", static_cast<unsigned long long>(seed), run.failedAt + 1,
                     qPrintable(run.problem));
            const Shrunk shrunk = shrink(holders_, run.actions, run.failedAt, fault, std::chrono::seconds(60));
            qWarning("shortest prefix that shows it on a fresh window: %zu actions%s", shrunk.prefix.size(),
                     shrunk.prefix.size() <= 400 ? qPrintable(QStringLiteral(":\n  ") + describe(shrunk.prefix)) : "");
            qWarning("reduced to %zu actions: %s\n  which shows: %s", shrunk.reduced.size(),
                     qPrintable(describe(shrunk.reduced)), qPrintable(shrunk.problem));
            QFAIL("the program and the model of its rules disagree; see above");
        }

        const Player& player = run.player;
        qInfo("%ld actions in %.1f s; %d congratulations, %ld of them after solving a deal click by click "
              "(%ld solver clicks, %ld plans)",
              long(run.actions.size()), seconds, run.congratulations, player.solverFinishes, player.solverClicks,
              player.solverPlans);
        qInfo("by kind: clicks %ld, new games %ld, give up %ld, completed picture %ld, help %ld, credits %ld, "
              "close box %ld, 확인 %ld, repaint %ld",
              run.byKind[0], run.byKind[1], run.byKind[2], run.byKind[3], run.byKind[4], run.byKind[5],
              run.byKind[6], run.byKind[7], run.byKind[8]);

        // A long run that never reached some part of the game proves little;
        // shorter runs (under the sanitizers) are only checked for agreement.
        if (count >= 20000) {
            for (long n : run.byKind) QVERIFY(n > 0);
            QCOMPARE(run.deals.size(), size_t(20));  // every kind in every layout
            QVERIFY2(run.congratulations >= count / 200, "too few finished boards for the run to mean much");
            QVERIFY(player.solverFinishes > 0);
        }
    }

    // The comparison must see a wrong rule, and the report must boil the run
    // down to a handful of actions.
    void aWrongRuleIsFoundAndShrunk_data() {
        QTest::addColumn<int>("fault");
        QTest::addColumn<int>("longest");
        QTest::newRow("p0 not beside p25") << int(Fault::p0NotBesideP25) << 10;
        QTest::newRow("give up leaves the blank in the grid") << int(Fault::giveUpLeavesBlankInGrid) << 2;
        QTest::newRow("layout 3 with two tiles exchanged") << int(Fault::layoutThreeSwapped) << 12;
        QTest::newRow("photograph never replaced") << int(Fault::picturesNeverReplaced) << 4;
    }

    void aWrongRuleIsFoundAndShrunk() {
        QFETCH(int, fault);
        QFETCH(int, longest);
        Run run(7);
        {
            Session session(holders_, Fault(fault));
            play(run, session, 20000);
        }
        QVERIFY2(run.failedAt >= 0, "20,000 actions did not notice the wrong rule");
        const Shrunk shrunk = shrink(holders_, run.actions, run.failedAt, Fault(fault), std::chrono::seconds(20));
        QCOMPARE(shrunk.prefix.size(), size_t(run.failedAt + 1));  // the program depends on nothing but the actions
        QVERIFY(replay(holders_, shrunk.reduced, Fault(fault)).failedAt >= 0);
        QVERIFY2(long(shrunk.reduced.size()) <= longest, qPrintable(describe(shrunk.reduced)));
    }
};

QTEST_MAIN(TestRandomPlay)
#include "test_random_play.moc"
