#include "broken_pictures.h"

#include "message_box.h"

#include <cstdio>

namespace vorarid {

int refuseBrokenPictures(const QStringList& problems) {
    const QString report = QStringLiteral("그림이 깨져서 시작할 수 없음다..ㅠㅠ (broken pictures):\n") + problems.join(u'\n');
    std::fprintf(stderr, "vorarid: %s\n", qPrintable(report));
    std::fflush(stderr);
    showMessageBox(report, QStringLiteral("Vorarid"));
    return 2;
}

}  // namespace vorarid
