#pragma once

#include "congratulations_window.h"
#include "credits_window.h"
#include "forms.h"
#include "help_window.h"
#include "picture_window.h"
#include "uniform_sequence.h"
#include "window_slot.h"

namespace vorarid {

// The program's windows besides the main one, each open at most once, and
// the rest of what the rules of play ask of the outside world.
class Windows : public Forms {
public:
    double nextRandom() override { return sequence_.next(); }
    void messageBox(const QString& prompt, const QString& title) override;
    void showCongratulations() override { congratulations.show(); }
    void setCompletedPicture(const Picture& picture) override { completedPicture.get().setPicture(picture); }
    void showCompletedPicture() override { completedPicture.show(); }

    WindowSlot<도움말1> help;
    WindowSlot<만든이1> credits;
    WindowSlot<WAN1> completedPicture;
    WindowSlot<축하1> congratulations;

private:
    UniformSequence sequence_;
};

}  // namespace vorarid
