// Writes the garden's holes layouts (conf/holes.lvs): per layout 8 rows of 10 cells, "0" a
// planting hole, "1" open ground, a ';' line before each layout. The first row of a layout is
// the field's top edge, which the field leaves open; the rows below it count down to the
// field's second row, so the bottom row always stays open for walking and for the animals.
//
// The game picks a layout by the level's stage: 0 for the first lesson, 1 for levels 1-3,
// 2 for 4-11, 3 for 12-18 and 4 from level 19 on (the holes awards of levels 0, 11 and 18 open
// the next one early). Each layout keeps the holes of the one before.
//
// The holes lie in three long beds across the field, the ones the field's picture draws
// (assets/sprites/back/base.svg): under the fence (row 6), under the tools (row 4) and two
// short ones low down (row 1), with paths between them. A grown plant is taller than its
// cell, so no hole has another straight above it; the row under the fence stays open, as the
// gardener working there would stand in the fence. The first lesson's bed lies in the middle
// of the tools' bed, and every stage lengthens the beds from there.
#include <cstdio>

namespace {

constexpr int kRows = 8, kColumns = 10;

// The stage whose layout opens each hole ('.' no hole), top row of the field first.
constexpr const char* kOpens[kRows] = {
    "..........",  // 7: along the fence
    "4432111234",  // 6: the bed under the fence
    "..........",  // 5: the path with the tools
    "...1000123",  // 4: the middle bed; the car stands to its left
    "..........",  // 3: the path from the car to the pump
    "..........",  // 2
    "4333.222..",  // 1: the low beds, with the hives between them
    "..........",  // 0: the bottom path
};
constexpr int kLayouts = 5;

// Field cells (row counted upwards from the bottom, column from the left) that never hold a
// hole: where the delivery car parks and the lane in front of it, the water pump and the cells
// the gardener needs to reach it, the tools' resting place, and the two places where a bought
// hive stands with the cell above it.
bool Fixed(int row, int column) {
  if (row < 1 || row > 7) return true;                       // the open bottom row and the field's top edge
  if (row >= 2 && row <= 4 && column <= 2) return true;      // the car and its lane
  if (row >= 1 && row <= 3 && column >= 8) return true;      // the pump and the cells before it
  if (row == 5 && column >= 3 && column <= 5) return true;   // the tools and the gardener
  if (row <= 3 && column == kColumns / 2 - 1) return true;   // the hives at (0, 4) and (2, 4)
  return false;
}

int Opens(int row, int column) {
  const char c = kOpens[kRows - 1 - row][column];
  return c == '.' ? kLayouts : c - '0';
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: holeslvs <holes.lvs>\n");
    return 2;
  }
  // The map above is checked before anything is written: a hole on a fixed cell, in the row
  // under the fence or straight above another is a mistake in it.
  for (int r = 0; r < kRows; ++r)
    for (int c = 0; c < kColumns; ++c) {
      if (Opens(r, c) >= kLayouts) continue;
      if (Fixed(r, c) || r == kRows - 1 || (r + 1 < kRows && Opens(r + 1, c) < kLayouts)) {
        std::fprintf(stderr, "holeslvs: the hole at row %d, column %d cannot be\n", r, c);
        return 1;
      }
    }

  FILE* out = std::fopen(argv[1], "wb");
  if (!out) {
    std::perror(argv[1]);
    return 1;
  }
  for (int layout = 0; layout < kLayouts; ++layout) {
    int count = 0;
    for (int r = 0; r < kRows; ++r)
      for (int c = 0; c < kColumns; ++c) count += Opens(r, c) <= layout;
    std::fprintf(out, "; layout %d: %d holes\n", layout, count);
    // File row f is field row 8 - f: file row 0 lies above the field.
    for (int f = 0; f < kRows; ++f) {
      const int row = kRows - f;
      for (int c = 0; c < kColumns; ++c)
        std::fprintf(out, "%s%c", c ? "," : "", row < kRows && Opens(row, c) <= layout ? '0' : '1');
      std::fputc('\n', out);
    }
  }
  return std::fclose(out) == 0 ? 0 : 1;
}
