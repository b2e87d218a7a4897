#include "game/world/holes_layouts.h"

#include <string_view>

#include "engine/files/data_manager.h"
#include "engine/core/log.h"

namespace {
constexpr vek::i32 kRows = 8;
constexpr vek::i32 kColumns = 10;
// Bounds of what a layouts file may hold; the game's own file is far inside them.
constexpr vek::i32 kMaxLines = 10000;
constexpr vek::i32 kMaxLayouts = 1000;
}  // namespace

void cDataManagerGD::ReadTheme(const vek::filename& path, std::vector<cHolesLayout>* layouts) {
  vek::string text;
  if (vek::cDataManager::ReadText(&text, path) != vek::cDataManager::Ok) text.clear();
  ParseTheme(text, layouts);
}

void cDataManagerGD::ParseTheme(const vek::string& text, std::vector<cHolesLayout>* layouts) {
  if (!layouts) return;
  layouts->clear();
  layouts->emplace_back();
  vek::i32 row = 0;
  vek::i32 lines = 0;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t end = text.find('\n', pos);
    if (end == vek::string::npos) end = text.size();
    std::string_view line(text.data() + pos, end - pos);
    pos = end + 1;
    // Files edited on other systems end their lines in CR LF.
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    // The game's file has a few hundred lines; a damaged one may have millions.
    if (++lines > kMaxLines || static_cast<vek::i32>(layouts->size()) > kMaxLayouts) {
      vek::LogWarning("cDataManagerGD", "ReadTheme: more than %i lines or %i levels, the rest is not read\n",
                      kMaxLines, kMaxLayouts);
      break;
    }
    const vek::i32 level = static_cast<vek::i32>(layouts->size()) - 1;
    if (line[0] == ';') {
      if (!layouts->back().empty()) {
        layouts->emplace_back();
        row = 0;
      }
      continue;
    }
    if (row >= kRows) vek::LogWarning("cDataManagerGD", "ReadTheme: invalid level size (i): %i\n", level);
    // Cells are looked at in place: only those inside the grid can be holes.
    size_t cells = 0;
    size_t start = 0;
    for (;;) {
      const size_t comma = line.find(',', start);
      const std::string_view cell =
          line.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
      if (cell == "0" && row < kRows && cells < static_cast<size_t>(kColumns))
        layouts->back().push_back(cHoleCell{row, static_cast<vek::i32>(cells)});
      ++cells;
      if (comma == std::string_view::npos) break;
      start = comma + 1;
    }
    if (cells != static_cast<size_t>(kColumns))
      vek::LogWarning("cDataManagerGD", "ReadTheme: invalid level size (j): %i\n", level);
    ++row;
  }
}

