#pragma once

#include "pictures.h"
#include "startup.h"
#include "windows.h"

#include <QApplication>

namespace vorarid::testing {

// The real windows, except that message boxes are recorded instead of
// blocking, and every new game draws `nextDraw` (0: layout 1).
class QuietWindows : public Windows {
public:
    void messageBox(const QString& prompt, const QString& title) override { messages << title + u'|' + prompt; }
    double nextRandom() override { return nextDraw; }

    QStringList messages;
    double nextDraw = 0.0;
};

// The program's own desktop set-up and its embedded pictures, once per test program.
inline const Pictures& programPictures() {
    static const Pictures pictures = [] {
        setUpKoreanDesktop(*qApp);
        return loadPictures();
    }();
    return pictures;
}

}  // namespace vorarid::testing
