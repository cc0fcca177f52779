#pragma once

#include <QString>

// Every text the windows show, exactly as the player sees it. Blanks count:
// the longer texts use runs of blanks where a line should break.
namespace vorarid::texts {

inline QString mainCaption() { return QStringLiteral("Vorarid  "); }

// What a screen reader says of a cell: its place, then what it shows,
// e.g. "2줄 3칸: 숫자 17", "마지막칸: 빈칸", "1줄 1칸: Zede 사진 3줄 5칸 조각".
QString cellAccessibleName(int cell, int set, int tile);

inline QString helpCaption() { return QStringLiteral("도움말"); }
inline QString helpText() {
    return QStringLiteral(
        "시작 > 새게임에서 퍼즐을 골라여. 빈칸 옆의 조각을 클릭하면 빈칸으로 쏙 들어감다. "
        "1~25 순서대로 맞춘 다음 판 아래 마지막칸을 클릭하면 끝!  "
        "어려우면 포기, 사진이 궁금하면 완성사진보기를 눌러 보셔여..^^");
}

inline QString creditsCaption() { return QStringLiteral("만든이...."); }
inline QString creditsTitle() { return QStringLiteral("Vorarid"); }
QString creditsText();

inline QString okButton() { return QStringLiteral("확인"); }

inline QString pictureCaption() { return QStringLiteral("  완성사진임다......^^"); }

inline QString congratulationsCaption() { return QStringLiteral("축하합니다여.....  ^^"); }
inline QString congratulationsTitle() { return QStringLiteral("축하합니다..!!"); }
QString congratulationsText();

}  // namespace vorarid::texts
