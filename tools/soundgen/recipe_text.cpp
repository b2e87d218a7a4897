#include "tools/soundgen/recipe_text.h"

#include <cctype>
#include <fstream>
#include <sstream>

namespace soundgen {

void StripComment(std::string& line) {
  for (std::size_t h = 0; h < line.size(); ++h) {
    if (line[h] == '#' && (h == 0 || std::isspace(static_cast<unsigned char>(line[h - 1])))) {
      line.resize(h);
      return;
    }
  }
}

bool ReadFile(const std::string& path, std::string& bytes) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return false;
  std::ostringstream s;
  s << f.rdbuf();
  bytes = s.str();
  return true;
}

bool WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream f(path, std::ios::binary);
  f.write(bytes.data(), std::streamsize(bytes.size()));
  return bool(f.flush());
}

}  // namespace soundgen
