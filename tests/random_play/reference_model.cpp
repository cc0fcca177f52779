#include "reference_model.h"

#include <QStringList>

#include <cmath>

namespace vorarid::randomplay {
namespace {

// The four scrambles, p1..p25 and then p0, "." where the blank goes.
const char* const layoutTexts[4] = {
    "5 6 17 7 13 8 2 4 10 15 16 23 24 19 14 3 . 1 21 12 22 11 18 20 9 25",
    "23 . 24 5 8 14 3 9 10 4 17 22 16 13 2 18 11 12 1 15 7 6 21 20 19 25",
    "18 22 4 1 9 7 24 3 17 5 10 11 14 23 21 16 2 . 19 12 13 8 6 15 20 25",
    "14 13 6 16 19 17 18 23 2 24 11 7 5 8 . 22 1 20 12 4 3 21 15 10 9 25",
};

const Message giveUpMessage{
    QStringLiteral("음...... 어려운가여????....그래도 축하메세지를 보고싶으면 지금 마지막칸을 클릭해 보셔여.. "
                   "근대 아무래도 성취감이 없게져? ...."),
    QStringLiteral("음....")};
const Message noPhotoMessage{
    QStringLiteral("숫자퍼즐은 완성사진이 없음다...^^;  그냥 1~25까지 순서대로 맞추면 됨다...."),
    QStringLiteral("죄송함다..^^;")};

bool isDealt(int kind) { return kind >= 0 && kind <= 4; }

}  // namespace

std::vector<int> ReferenceModel::neighbours(int cell) {
    if (cell == 0) return {25};
    const int row = (cell - 1) / 5, column = (cell - 1) % 5;
    std::vector<int> result;
    if (row > 0) result.push_back(cell - 5);
    if (column > 0) result.push_back(cell - 1);
    if (column < 4) result.push_back(cell + 1);
    if (row < 4) result.push_back(cell + 5);
    if (cell == 25) result.push_back(0);
    return result;
}

std::array<int, 26> ReferenceModel::layout(int number) {
    const QStringList words = QString::fromLatin1(layoutTexts[number - 1]).split(u' ');
    Q_ASSERT(words.size() == 26);
    std::array<int, 26> tiles{};
    for (int i = 0; i < 26; ++i) {
        const int cell = i < 25 ? i + 1 : 0;
        tiles[cell] = words[i] == u'.' ? 0 : words[i].toInt();
    }
    return tiles;
}

int ReferenceModel::openCount() const {
    int count = 0;
    for (bool open : open_) count += open;
    return count;
}

void ReferenceModel::click(int cell) {
    std::vector<int> around = neighbours(cell);
    if (fault_ == Fault::p0NotBesideP25) std::erase_if(around, [cell](int n) { return cell + n == 25 && cell * n == 0; });
    for (int n : around) {
        if (cells_[n].isBlank()) {
            cells_[n] = cells_[cell];
            cells_[cell] = Tile{};
        }
    }
    if (cell != 0) return;
    for (int set = 0; set < 5; ++set) {
        bool inOrder = true;
        for (int n = 1; n <= 25; ++n) inOrder = inOrder && cells_[n] == Tile{set, n};
        if (inOrder) {
            ++congratulations_;
            open_[int(Secondary::congratulations)] = true;
        }
    }
}

void ReferenceModel::newGame(int kind, double u) {
    kind_ = kind;
    ++draws_;
    const int number = int(std::floor(4 * u)) + 1;
    std::array<int, 26> tiles = layout(number);
    if (fault_ == Fault::layoutThreeSwapped && number == 3) std::swap(tiles[1], tiles[2]);
    for (int cell = 0; cell < 26; ++cell) cells_[cell] = tiles[cell] == 0 ? Tile{} : Tile{kind, tiles[cell]};
}

void ReferenceModel::giveUp() {
    if (!isDealt(kind_)) return;
    for (int n = 1; n <= 25; ++n) cells_[n] = Tile{kind_, n};
    cells_[0] = Tile{};
    if (fault_ == Fault::giveUpLeavesBlankInGrid) std::swap(cells_[0], cells_[25]);
    messages_.append(giveUpMessage);
}

void ReferenceModel::completedPicture() {
    if (kind_ == 0) {
        messages_.append(noPhotoMessage);
    } else if (isDealt(kind_)) {
        open_[int(Secondary::picture)] = true;
        if (fault_ != Fault::picturesNeverReplaced || shownPhoto_ == 0) shownPhoto_ = kind_;
    }
}

QString secondaryName(Secondary window) {
    switch (window) {
    case Secondary::help: return QStringLiteral("도움말1");
    case Secondary::credits: return QStringLiteral("만든이1");
    case Secondary::picture: return QStringLiteral("WAN1");
    case Secondary::congratulations: return QStringLiteral("축하1");
    }
    return {};
}

}  // namespace vorarid::randomplay
