#include "tests/support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace vektest {

TempDir::TempDir() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "vektest-XXXXXX").string();
  if (char* p = ::mkdtemp(tmpl.data())) m_Path = p;
}

TempDir::~TempDir() {
  std::error_code ec;
  if (!m_Path.empty()) std::filesystem::remove_all(m_Path, ec);
}

std::string ReadFileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

bool WriteFileText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  return static_cast<bool>(out);
}

}  // namespace vektest
