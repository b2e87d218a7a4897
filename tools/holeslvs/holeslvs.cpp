// Writes the garden's holes layouts (conf/holes.lvs): per layout 8 rows of 10 cells, "0" a
// planting hole, "1" open ground, a ';' line before each layout. The first row of a layout is
// the field's top edge, which the field leaves open; the rows below it count down to the
// field's second row, so the bottom row always stays open for walking and for the animals.
//
// The game picks a layout by the level's stage: 0 for the first lesson, 1 for levels 1-3,
// 2 for 4-11, 3 for 12-18 and 4 from level 19 on (the holes awards of levels 0, 11 and 18 open
// the next one early). Each layout keeps the holes of the one before.
//
// Cells that never hold a hole: where the delivery car parks and the lane in front of it,
// the water pump and the cells the gardener needs to reach it, and the tools' resting place.
// The first lesson opens with a small bed in the middle; every layout adds holes in rings
// around it, leaving the rest of the field open for the animals and the gardener's paths.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRows = 8, kColumns = 10;
// Holes per layout: enough for the missions of its levels to be sown in two or three rounds.
constexpr int kCounts[] = {3, 8, 14, 20, 27};

// Field cells (row counted upwards from the bottom, column from the left).
bool Allowed(int row, int column) {
  if (row < 1 || row > 7) return false;                                  // the open bottom row and the field's top edge
  if (row >= 2 && row <= 4 && column <= 2) return false;                 // the car and its lane
  if (row >= 1 && row <= 3 && column >= 8) return false;                 // the pump and the cells before it
  if (row == 5 && column >= 3 && column <= 5) return false;              // the tools and the gardener
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: holeslvs <holes.lvs>\n");
    return 2;
  }
  struct Cell {
    int row, column;
    double order;
  };
  std::vector<Cell> cells;
  for (int r = 0; r < kRows; ++r)
    for (int c = 0; c < kColumns; ++c)
      if (Allowed(r, c)) {
        // Rings around the bed at (6, 5) and (6, 6), stretched sideways so that beds grow
        // into wide rows; a small column term keeps the order fixed within a ring.
        const double dr = (r - 6.0) * 1.3, dc = c - 5.5;
        cells.push_back({r, c, std::sqrt(dr * dr + dc * dc) + c * 1e-3});
      }
  std::sort(cells.begin(), cells.end(), [](const Cell& a, const Cell& b) { return a.order < b.order; });

  FILE* out = std::fopen(argv[1], "wb");
  if (!out) {
    std::perror(argv[1]);
    return 1;
  }
  int layout = 0;
  for (int count : kCounts) {
    count = std::min(count, static_cast<int>(cells.size()));
    bool hole[kRows][kColumns] = {};
    for (int k = 0; k < count; ++k) hole[cells[k].row][cells[k].column] = true;
    std::fprintf(out, "; layout %d: %d holes\n", layout++, count);
    // File row f is field row 8 - f: file row 0 lies above the field.
    for (int f = 0; f < kRows; ++f) {
      const int row = kRows - f;
      for (int c = 0; c < kColumns; ++c)
        std::fprintf(out, "%s%c", c ? "," : "", row < kRows && hole[row][c] ? '0' : '1');
      std::fputc('\n', out);
    }
  }
  return std::fclose(out) == 0 ? 0 : 1;
}
