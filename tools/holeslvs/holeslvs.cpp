// Writes the holes layouts of the 45 levels (conf/holes.lvs): per level 8 rows of 10 cells,
// "0" a planting hole, "1" open ground, a ';' line before each level. The first row of a level
// is the field's top edge, which the field leaves open; the rows below it count down to the
// field's second row, so the bottom row always stays open for walking and for the animals.
//
// Cells that never hold a hole: where the delivery car parks and the lane in front of it,
// the water pump and the cells the gardener needs to reach it, and the tools' resting place.
// Level 0 opens with a small bed in the middle; every level adds holes in rings around it
// until the last levels use every allowed cell.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int kLevels = 45;
constexpr int kRows = 8, kColumns = 10;
constexpr int kFirstCount = 3;

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
  const int total = static_cast<int>(cells.size());

  FILE* out = std::fopen(argv[1], "wb");
  if (!out) {
    std::perror(argv[1]);
    return 1;
  }
  for (int level = 0; level < kLevels; ++level) {
    const int count =
        kFirstCount + static_cast<int>(std::lround((total - kFirstCount) * static_cast<double>(level) / (kLevels - 1)));
    bool hole[kRows][kColumns] = {};
    for (int k = 0; k < count; ++k) hole[cells[k].row][cells[k].column] = true;
    std::fprintf(out, "; level %d: %d holes\n", level, count);
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
