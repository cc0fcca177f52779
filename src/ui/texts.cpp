#include "texts.h"

#include <QStringList>

namespace vorarid::texts {

QString creditsText() {
    // The photographs' licences ask for this much; the full attributions ship
    // with the program.
    return QStringLiteral(
        "사진: 고양이·커피 CC0, 우주인 NASA(공공 도메인), 산 © 2018 Aitzol Berasategi CC BY 4.0(수정함)");
}

QString congratulationsText() {
    const QString stars = QStringList(6, QStringLiteral("*^^*")).join(QString(2, u' '));
    return QString(5, u' ') + QStringLiteral("이이야~~~") + QString(3, u' ') + QStringLiteral("잘하시네여 !!^^") +
           QString(10, u' ') + stars + QString(78, u' ') + QStringLiteral("MAKE BY DIDOZ RIZI") + QString(8, u' ');
}

}  // namespace vorarid::texts
