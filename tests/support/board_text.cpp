#include "board_text.h"

#include "layouts.h"

#include <QImage>
#include <QRegularExpression>
#include <QStringList>

#include <stdexcept>

namespace vorarid::testing {

Holders makeHolders() {
    Holders holders;
    for (auto& set : holders.sets)
        for (auto& tile : set) tile = Picture(QImage(1, 1, QImage::Format_RGB32));
    for (auto& image : holders.images) image = Picture(QImage(1, 1, QImage::Format_RGB32));
    return holders;
}

void setBoard(Board& board, const Holders& holders, const QString& text, int set) {
    static const QRegularExpression separators(QStringLiteral("[\\s/|]+"));
    const QStringList tokens = text.split(separators, Qt::SkipEmptyParts);
    if (tokens.size() != cellCount) throw std::invalid_argument("a board needs 26 cells: " + text.toStdString());
    for (int i = 0; i < cellCount; ++i) {
        const int cell = dealOrder[i];
        QString token = tokens[i];
        if (token == u'.' || token == u'-') {
            board.setCell(cell, holders.s0);
            continue;
        }
        int tokenSet = set;
        if (token.startsWith(u's')) {
            const qsizetype letters = token.lastIndexOf(u's') + 1;
            tokenSet = int(letters) - 1;
            token = token.mid(letters);
        }
        bool ok = false;
        const int n = token.toInt(&ok);
        if (!ok || n < 1 || n > tilesPerSet || tokenSet < 0 || tokenSet >= setCount)
            throw std::invalid_argument("not a tile: " + tokens[i].toStdString());
        board.setCell(cell, holders.tile(tokenSet, n));
    }
}

QString describeBoard(const Board& board, const Holders& holders, int set) {
    QString text;
    for (int i = 0; i < cellCount; ++i) {
        const int cell = dealOrder[i];
        if (i > 0) text += (cell == 0) ? QStringLiteral(" | ") : (i % 5 == 0) ? QStringLiteral(" / ") : QStringLiteral(" ");
        const auto [tileSet, n] = holders.identify(board.cell(cell));
        if (n == 0) text += u'.';
        else if (n < 0) text += u'?';
        else text += (tileSet == set ? QString() : QString(tileSet + 1, u's')) + QString::number(n);
    }
    return text;
}

std::array<int, cellCount> tileNumbers(const Board& board, const Holders& holders, int set) {
    std::array<int, cellCount> numbers{};
    for (int cell = 0; cell < cellCount; ++cell) {
        const auto [tileSet, n] = holders.identify(board.cell(cell));
        numbers[cell] = (n == 0) ? 0 : (n > 0 && tileSet == set) ? n : -1;
    }
    return numbers;
}

}  // namespace vorarid::testing
