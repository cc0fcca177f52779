#pragma once

#include <QString>

namespace vorarid::messages {

// 포기: the board is put in order; the player may still click the last cell.
inline QString giveUpPrompt() {
    return QStringLiteral(
        "음...... 어려운가여????....그래도 축하메세지를 보고싶으면 지금 마지막칸을 클릭해 보셔여.. "
        "근대 아무래도 성취감이 없게져? ....");
}
inline QString giveUpTitle() { return QStringLiteral("음...."); }

// 완성사진보기 during the number puzzle, which has no photograph.
inline QString noPhotoPrompt() {
    return QStringLiteral("숫자퍼즐은 완성사진이 없음다...^^;  그냥 1~25까지 순서대로 맞추면 됨다....");
}
inline QString noPhotoTitle() { return QStringLiteral("죄송함다..^^;"); }

}  // namespace vorarid::messages
