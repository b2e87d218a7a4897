#pragma once
// A save layer over the disk that fails where a test says: the n-th write, link or rename fails
// (a write cut short leaves half its bytes behind when asked to), and from the m-th operation on
// every operation fails, as when the program is gone.
#include <climits>
#include <string>
#include <vector>

#include "game/app/save_unit.h"

namespace vektest {

class FailingSaveLayer : public iSaveFileLayer {
 public:
  FailingSaveLayer(int failAt, int killAt = INT_MAX, bool cutShort = false)
      : m_FailAt(failAt), m_KillAt(killAt), m_CutShort(cutShort) {}
  bool Write(const std::string& path, const std::vector<vek::u8>& bytes) override {
    if (!Fails()) return DiskFileLayer().Write(path, bytes);
    if (m_CutShort) DiskFileLayer().Write(path, std::vector<vek::u8>(bytes.begin(), bytes.begin() + bytes.size() / 2));
    return false;
  }
  bool Rename(const std::string& from, const std::string& to) override {
    return !Fails() && DiskFileLayer().Rename(from, to);
  }
  bool Link(const std::string& from, const std::string& to) override {
    return !Fails() && DiskFileLayer().Link(from, to);
  }
  bool Remove(const std::string& path) override { return !Dead() && DiskFileLayer().Remove(path); }
  eSaveFileKind Kind(const std::string& path) override { return DiskFileLayer().Kind(path); }
  plat::eFileRead Read(const std::string& path, std::vector<vek::u8>& bytes) override {
    return DiskFileLayer().Read(path, bytes);
  }
  bool MakeFolder(const std::string& path) override { return !Dead() && DiskFileLayer().MakeFolder(path); }
  // The writes, links and renames reached (those after the program is gone not counted).
  int Operations() const { return m_Count; }

 private:
  bool Dead() const { return m_Count >= m_KillAt; }
  bool Fails() {
    if (Dead()) return true;
    ++m_Count;
    return m_Count == m_FailAt || Dead();
  }
  int m_FailAt, m_KillAt;
  bool m_CutShort;
  int m_Count = 0;
};

}  // namespace vektest
