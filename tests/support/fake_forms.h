#pragma once

#include "forms.h"

#include <QList>
#include <QString>

#include <deque>
#include <functional>

namespace vorarid::testing {

// Stands in for the windows: records what the rules asked for and hands out
// the random values a test scripted (0.0 once the script runs out).
class FakeForms : public Forms {
public:
    struct Message {
        QString prompt;
        QString title;
    };

    double nextRandom() override {
        ++draws;
        if (onDraw) onDraw();
        if (randoms.empty()) return 0.0;
        const double u = randoms.front();
        randoms.pop_front();
        return u;
    }
    void messageBox(const QString& prompt, const QString& title) override { messages.append({prompt, title}); }
    void showCongratulations() override { ++congratulations; }
    void setCompletedPicture(const Picture& picture) override {
        completedPicture = picture;
        calls += QStringLiteral("set ");
    }
    void showCompletedPicture() override { calls += QStringLiteral("show "); }

    std::deque<double> randoms;
    std::function<void()> onDraw;
    int draws = 0;
    QList<Message> messages;
    int congratulations = 0;
    Picture completedPicture;
    QString calls;  // the completed-picture window's operations, in order
};

}  // namespace vorarid::testing
