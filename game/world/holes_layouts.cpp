#include "game/world/holes_layouts.h"

#include "engine/files/data_manager.h"
#include "engine/core/log.h"

namespace {
constexpr vek::i32 kRows = 8;
constexpr vek::i32 kColumns = 10;
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
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t end = text.find('\n', pos);
    if (end == vek::string::npos) end = text.size();
    vek::string line = text.substr(pos, end - pos);
    pos = end + 1;
    // Files edited on other systems end their lines in CR LF.
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    const vek::i32 level = static_cast<vek::i32>(layouts->size()) - 1;
    if (line[0] == ';') {
      if (!layouts->back().empty()) {
        layouts->emplace_back();
        row = 0;
      }
      continue;
    }
    if (row >= kRows) vek::LogWarning("cDataManagerGD", "ReadTheme: invalid level size (i): %i\n", level);
    std::vector<vek::string> cells;
    size_t start = 0;
    for (;;) {
      const size_t comma = line.find(',', start);
      cells.push_back(line.substr(start, comma == vek::string::npos ? vek::string::npos : comma - start));
      if (comma == vek::string::npos) break;
      start = comma + 1;
    }
    if (static_cast<vek::i32>(cells.size()) != kColumns)
      vek::LogWarning("cDataManagerGD", "ReadTheme: invalid level size (j): %i\n", level);
    for (size_t j = 0; j < cells.size(); ++j)
      if (cells[j] == "0" && row < kRows && static_cast<vek::i32>(j) < kColumns)
        layouts->back().push_back(cHoleCell{row, static_cast<vek::i32>(j)});
    ++row;
  }
}

