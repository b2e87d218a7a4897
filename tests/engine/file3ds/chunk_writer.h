#pragma once
// Builds 3DS bytes by hand: little-endian values and chunks whose length is measured from
// what they hold. Also small helpers to write, read and clean the toolkit's state.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

#include "engine/file3ds/database3ds.h"
#include "engine/file3ds/error3ds.h"
#include "engine/file3ds/file3ds.h"

namespace test3ds {

using Bytes = std::vector<uint8_t>;

struct B {
  Bytes b;
  B& u8(uint8_t v) { b.push_back(v); return *this; }
  B& w(uint16_t v) { return u8(v & 0xFF).u8(v >> 8); }
  B& d(uint32_t v) { return w(v & 0xFFFF).w(v >> 16); }
  B& f(float v) {
    uint32_t x;
    std::memcpy(&x, &v, 4);
    return d(x);
  }
  B& s(const std::string& text) {  // zero-terminated
    b.insert(b.end(), text.begin(), text.end());
    return u8(0);
  }
  B& raw(const Bytes& more) {
    b.insert(b.end(), more.begin(), more.end());
    return *this;
  }
  operator Bytes() const { return b; }
};

// A chunk: header with the measured length, own data, then the children.
inline Bytes Chunk(uint16_t id, const Bytes& own, std::initializer_list<Bytes> children = {}) {
  Bytes body = own;
  for (const Bytes& c : children) body.insert(body.end(), c.begin(), c.end());
  B out;
  out.w(id).d(static_cast<uint32_t>(body.size() + 6)).raw(body);
  return out;
}

// A chunk whose length field says `length` whatever it holds.
inline Bytes ChunkWithLength(uint16_t id, uint32_t length, const Bytes& body) {
  B out;
  out.w(id).d(length).raw(body);
  return out;
}

// The version chunks a database gets on writing: a hand-built file that has them is written
// back unchanged.
inline Bytes MeshFile(std::initializer_list<Bytes> inMeshData, std::initializer_list<Bytes> inKf = {},
                      std::initializer_list<Bytes> more = {}) {
  std::vector<Bytes> mdata = {Chunk(0x3D3E, B().d(3))};
  mdata.insert(mdata.end(), inMeshData.begin(), inMeshData.end());
  std::vector<Bytes> kf = {Chunk(0xB00A, B().w(5).s("").d(30))};
  kf.insert(kf.end(), inKf.begin(), inKf.end());
  Bytes md, k;
  for (const Bytes& c : mdata) md.insert(md.end(), c.begin(), c.end());
  for (const Bytes& c : kf) k.insert(k.end(), c.begin(), c.end());
  Bytes tail;
  for (const Bytes& c : more) tail.insert(tail.end(), c.begin(), c.end());
  return Chunk(0x4D4D, B().raw(Chunk(0x0002, B().d(3))).raw(Chunk(0x3D3D, md)).raw(tail).raw(
                           Chunk(0xB000, k)));
}

inline bool WriteBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

inline Bytes ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every test starts and ends with no open files and an empty error list.
class Toolkit : public ::testing::Test {
 protected:
  void SetUp() override { Reset(); }
  void TearDown() override { Reset(); }
  static void Reset() {
    CloseAllFiles3ds();
    ftkErrorClear();
    ftkSetContinueAfterErrors(false);
  }
  // The codes on the error list, oldest first.
  static std::vector<int32_t> Codes() {
    std::vector<int32_t> codes;
    for (const ftkErrorEntry* e = ftkErrorList(); e->code != 0; ++e) codes.push_back(e->code);
    return codes;
  }
  // Reads the file into a fresh database (null on a pending error; the codes stay).
  static Database3ds* Read(const std::string& path) {
    File3ds* file = OpenFile3ds(path.c_str(), "r");
    if (!file) return nullptr;
    Database3ds* db = nullptr;
    InitDatabase3ds(&db);
    ReadDatabase3ds(file, db);
    if (ftkErrorPending()) {
      ReleaseDatabase3ds(&db);
      return nullptr;
    }
    return db;
  }
  static bool Write(Database3ds* db, const std::string& path) {
    File3ds* file = OpenFile3ds(path.c_str(), "w");
    if (!file) return false;
    WriteDatabase3ds(file, db);
    CloseFile3ds(file);
    return !ftkErrorPending();
  }
};

}  // namespace test3ds
