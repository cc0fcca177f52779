#pragma once

#include "picture.h"

#include <QString>

namespace vorarid {

// What the rules of play ask of the windowing side. The game always calls;
// the windows never reach into the game.
class Forms {
public:
    virtual ~Forms() = default;

    // Next value u of the program's uniform sequence, 0 <= u < 1.
    virtual double nextRandom() = 0;
    // A modal box with the prompt, the title and one OK button; returns when closed.
    virtual void messageBox(const QString& prompt, const QString& title) = 0;
    // Shows the congratulations window, or brings the open one to the front.
    virtual void showCongratulations() = 0;
    // Gives the completed-picture window this picture, creating the window if needed.
    virtual void setCompletedPicture(const Picture& picture) = 0;
    // Shows the completed-picture window, or brings the open one to the front.
    virtual void showCompletedPicture() = 0;
};

}  // namespace vorarid
