#include "solver.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <unordered_map>

namespace vorarid::testing {
namespace {

// Grid positions 0..24 stand for cells p1..p25.
std::vector<int> gridNeighbours(int pos) {
    std::vector<int> result;
    const int row = pos / 5, column = pos % 5;
    if (row > 0) result.push_back(pos - 5);
    if (column > 0) result.push_back(pos - 1);
    if (column < 4) result.push_back(pos + 1);
    if (row < 4) result.push_back(pos + 5);
    return result;
}

// Moves the tiles of `group` to their home positions with the blank, without
// touching `locked` positions, by breadth-first search over where the group's
// tiles and the blank are (the other tiles don't matter). Appends the clicks
// and updates `grid`.
bool placeGroup(std::array<int, 25>& grid, const std::vector<int>& group, const std::array<bool, 25>& locked,
                bool blankHome, std::vector<int>& clicks) {
    using Key = std::uint32_t;  // 5 bits per position: blank, then the group's tiles
    const auto encode = [](const std::vector<int>& positions) {
        Key key = 0;
        for (int pos : positions) key = key << 5 | Key(pos);
        return key;
    };
    const auto decode = [&](Key key) {
        std::vector<int> positions(group.size() + 1);
        for (auto it = positions.rbegin(); it != positions.rend(); ++it, key >>= 5) *it = int(key & 31);
        return positions;
    };
    const auto solved = [&](const std::vector<int>& positions) {
        for (size_t i = 0; i < group.size(); ++i)
            if (positions[i + 1] != group[i] - 1) return false;
        return !blankHome || positions[0] == 24;
    };

    std::vector<int> start{int(std::find(grid.begin(), grid.end(), 0) - grid.begin())};
    for (int tile : group) start.push_back(int(std::find(grid.begin(), grid.end(), tile) - grid.begin()));

    std::unordered_map<Key, std::pair<Key, int>> cameFrom;  // state -> (previous state, clicked position)
    std::deque<Key> queue{encode(start)};
    cameFrom.emplace(queue.front(), std::pair{queue.front(), -1});
    while (!queue.empty()) {
        const Key key = queue.front();
        queue.pop_front();
        std::vector<int> positions = decode(key);
        if (solved(positions)) {
            std::vector<int> path;
            for (Key k = key; cameFrom.at(k).second >= 0; k = cameFrom.at(k).first) path.push_back(cameFrom.at(k).second);
            std::reverse(path.begin(), path.end());
            for (int pos : path) {
                const int blank = int(std::find(grid.begin(), grid.end(), 0) - grid.begin());
                std::swap(grid[blank], grid[pos]);
                clicks.push_back(pos + 1);
            }
            return true;
        }
        const int blank = positions[0];
        for (int next : gridNeighbours(blank)) {
            if (locked[next]) continue;
            std::vector<int> moved = positions;
            moved[0] = next;
            for (size_t i = 1; i < moved.size(); ++i)
                if (moved[i] == next) moved[i] = blank;
            const Key nextKey = encode(moved);
            if (cameFrom.emplace(nextKey, std::pair{key, next}).second) queue.push_back(nextKey);
        }
    }
    return false;
}

}  // namespace

std::vector<int> solveClicks(const std::array<int, 26>& tiles) {
    if (tiles[0] != 25) return {};
    std::array<int, 25> grid{};
    std::copy(tiles.begin() + 1, tiles.end(), grid.begin());

    // Rows one to three tile by tile (the last two of a row together), then
    // the last two rows a column at a time, then the last corner.
    const std::vector<std::vector<int>> groups{{1},  {2},  {3},      {4, 5},   {6},      {7},      {8},
                                               {9, 10}, {11}, {12}, {13}, {14, 15}, {16, 21}, {17, 22},
                                               {18, 23}, {19, 20, 24}};
    std::array<bool, 25> locked{};
    std::vector<int> clicks;
    for (size_t g = 0; g < groups.size(); ++g) {
        const bool last = g + 1 == groups.size();
        if (!placeGroup(grid, groups[g], locked, last, clicks)) return {};
        for (int tile : groups[g]) locked[tile - 1] = true;
    }
    clicks.push_back(0);
    return clicks;
}

void playClicks(std::array<int, 26>& tiles, const std::vector<int>& clicks) {
    for (int cell : clicks) {
        std::vector<int> neighbours;
        if (cell == 0) {
            neighbours = {25};
        } else {
            for (int pos : gridNeighbours(cell - 1)) neighbours.push_back(pos + 1);
            if (cell == 25) neighbours.push_back(0);
        }
        for (int n : neighbours) {
            if (tiles[n] == 0) {
                tiles[n] = tiles[cell];
                tiles[cell] = 0;
            }
        }
    }
}

}  // namespace vorarid::testing
