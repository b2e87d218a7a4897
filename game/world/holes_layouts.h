#pragma once
// The holes layouts file: one layout of planting holes per level.
#include <vector>

#include "engine/files/filename.h"
#include "game/app/garden_services.h"

class cDataManagerGD {
 public:
  // Replaces the layouts with the file's: 8 rows of 10 comma-separated cells per level, a ';'
  // line between levels, a cell "0" is a hole (a line may end in CR LF). A missing file
  // leaves one empty layout. Only cells inside the 8 x 10 grid are kept; a file of more than
  // 10000 lines or 1000 levels is read up to there (with a warning).
  static void ReadTheme(const vek::filename& path, std::vector<cHolesLayout>* layouts);
  // The same from the file's text.
  static void ParseTheme(const vek::string& text, std::vector<cHolesLayout>* layouts);
};
