#pragma once
// A small file system of its own (a size-limited tmpfs) mounted on a fresh temporary folder,
// for the tests of writers on a full disk. Mounting needs root: mounted() tells whether it
// worked, and tests skip otherwise.
#include <cstddef>
#include <string>

#include "tests/support/temp_dir.h"

namespace vektest {

class SmallDisk {
 public:
  explicit SmallDisk(std::size_t bytes);
  ~SmallDisk();
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  bool mounted() const { return m_Mounted; }
  const std::string& path() const { return m_Dir.path(); }
  std::string operator/(const std::string& name) const { return m_Dir / name; }

  // Fills the disk with a filler file until about `leave` bytes (whole pages) are free.
  bool Fill(std::size_t leave);

 private:
  TempDir m_Dir;
  bool m_Mounted = false;
};

}  // namespace vektest
