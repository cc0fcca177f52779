#include "texts.h"

#include <QStringList>

namespace vorarid::texts {

QString creditsText() {
    // The photographs' licences ask for this much; the full attributions ship
    // with the program.
    return QStringLiteral(
        "사진: 고양이·커피 CC0, 우주인 NASA(공공 도메인), 산 © 2018 Aitzol Berasategi CC BY 4.0(수정함)");
}

QString cellAccessibleName(int cell, int set, int tile) {
    const auto place = [](int number) { return QStringLiteral("%1줄 %2칸").arg((number - 1) / 5 + 1).arg((number - 1) % 5 + 1); };
    static const char* const photoTitles[] = {"", "Dozud", "Zede", "Deveder", "Rezovo"};
    const QString where = cell == 0 ? QStringLiteral("마지막칸") : place(cell);
    QString what;
    if (tile == 0) what = QStringLiteral("빈칸");
    else if (tile < 0 || set < 0) what = QStringLiteral("알 수 없는 그림");
    else if (set == 0) what = QStringLiteral("숫자 %1").arg(tile);
    else what = QStringLiteral("%1 사진 %2 조각").arg(QLatin1String(photoTitles[set]), place(tile));
    return where + QStringLiteral(": ") + what;
}

QString congratulationsText() {
    const QString stars = QStringList(6, QStringLiteral("*^^*")).join(QString(2, u' '));
    return QString(5, u' ') + QStringLiteral("이이야~~~") + QString(3, u' ') + QStringLiteral("잘하시네여 !!^^") +
           QString(10, u' ') + stars + QString(78, u' ') + QStringLiteral("MAKE BY DIDOZ RIZI") + QString(8, u' ');
}

}  // namespace vorarid::texts
