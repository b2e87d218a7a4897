#pragma once
#include <string>

namespace vektest {

// A fresh folder under the system's temporary folder, removed with its contents on destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return m_Path; }
  std::string operator/(const std::string& name) const { return m_Path + "/" + name; }

 private:
  std::string m_Path;
};

// Reads a whole file; empty when it cannot be read.
std::string ReadFileText(const std::string& path);
// Writes a whole file; false on failure.
bool WriteFileText(const std::string& path, const std::string& text);

}  // namespace vektest
