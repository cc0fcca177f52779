#pragma once

#include "reference_model.h"
#include "windows.h"

#include <QList>

#include <vector>

namespace vorarid::randomplay {

// The program's real windows, except that a message box is written down
// instead of waiting for a click that no one will make. The rest only
// counts and passes on: the real windows still open.
class RecordingWindows : public Windows {
public:
    double nextRandom() override {
        const double u = Windows::nextRandom();
        draws.push_back(u);
        return u;
    }
    void messageBox(const QString& prompt, const QString& title) override { messages.append({prompt, title}); }
    void showCongratulations() override {
        ++congratulationsShown;
        Windows::showCongratulations();
    }

    std::vector<double> draws;
    QList<Message> messages;
    int congratulationsShown = 0;
};

}  // namespace vorarid::randomplay
