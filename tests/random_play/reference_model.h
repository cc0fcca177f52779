#pragma once

#include <QList>
#include <QString>

#include <array>
#include <vector>

namespace vorarid::randomplay {

// What a cell shows, as numbers: tile 1..25 of set 0..4, or the blank (tile 0).
// Empty cells and the blank are the same thing to the player.
struct Tile {
    int set = 0;
    int n = 0;
    bool isBlank() const { return n == 0; }
    friend bool operator==(const Tile&, const Tile&) = default;
};

struct Message {
    QString prompt;
    QString title;
    friend bool operator==(const Message&, const Message&) = default;
};

// The secondary windows, in the order the harness numbers them.
enum class Secondary { help, credits, picture, congratulations };
constexpr int secondaryCount = 4;

// A deliberately wrong rule, to prove the comparison notices one.
enum class Fault { none, p0NotBesideP25, giveUpLeavesBlankInGrid, layoutThreeSwapped, picturesNeverReplaced };

// The game as the player sees it, written from how it is meant to play and
// sharing nothing with the program: numbers instead of pictures, its own
// copy of the layouts and of which cells touch.
class ReferenceModel {
public:
    explicit ReferenceModel(Fault fault = Fault::none) : fault_(fault) {}

    void click(int cell);
    // `u` is the value the program drew for this deal.
    void newGame(int kind, double u);
    void giveUp();
    void completedPicture();
    void openWindow(Secondary window) { open_[int(window)] = true; }
    void closeWindow(Secondary window) { open_[int(window)] = false; }

    const Tile& cell(int number) const { return cells_.at(number); }
    const std::array<Tile, 26>& cells() const { return cells_; }
    int kind() const { return kind_; }
    bool isOpen(Secondary window) const { return open_[int(window)]; }
    int openCount() const;
    int congratulations() const { return congratulations_; }
    int draws() const { return draws_; }
    const QList<Message>& messages() const { return messages_; }
    // The photograph the completed-picture window shows, 1..4, or 0 for none yet.
    int shownPhoto() const { return shownPhoto_; }

    // Cells next to `cell` in the order a click tries them.
    static std::vector<int> neighbours(int cell);
    // Tile numbers (0 for the blank) layout 1..4 deals into p0..p25.
    static std::array<int, 26> layout(int number);

private:
    Fault fault_;
    std::array<Tile, 26> cells_{};
    int kind_ = 7;
    std::array<bool, secondaryCount> open_{};
    int congratulations_ = 0;
    int draws_ = 0;
    QList<Message> messages_;
    int shownPhoto_ = 0;
};

QString secondaryName(Secondary window);

}  // namespace vorarid::randomplay
