#pragma once
// Helpers of the file tests: the path tokens pointed at a temporary folder, a capture of the
// log, and zip archives written by the test itself.
#include <gtest/gtest.h>
#include <zip.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/core/log.h"
#include "engine/core/path_tokens.h"
#include "tests/support/temp_dir.h"

namespace filetest {

// Points the four tokens into a fresh temporary folder (whose name has capitals) and puts
// them back afterwards. {StaticPath} = <tmp>/Data, {AppPath} = <tmp>/App, {UserPath} = <tmp>.
class TokenFolders {
 public:
  TokenFolders() {
    for (int t = 0; t < 4; ++t) m_Saved[t] = vek::GetPathToken(t);
    vek::SetPathToken(vek::e_ExePath, m_Dir.path());
    vek::SetPathToken(vek::e_StaticPath, m_Dir / "Data");
    vek::SetPathToken(vek::e_AppPath, m_Dir / "App");
    vek::SetPathToken(vek::e_UserPath, m_Dir.path());
  }
  ~TokenFolders() {
    for (int t = 0; t < 4; ++t) vek::SetPathToken(t, m_Saved[t]);
  }
  const std::string& root() const { return m_Dir.path(); }
  std::string operator/(const std::string& name) const { return m_Dir / name; }

 private:
  vektest::TempDir m_Dir;
  std::string m_Saved[4];
};

// Collects what the log writes while it lives.
class LogCapture {
 public:
  LogCapture() {
    m_Saved = vek::GetPathToken(vek::e_AppPath);
    vek::SetPathToken(vek::e_AppPath, "");  // the holder then opens no file of its own
    vek::CreateLogHolder(1024.0f, 768.0f);
    vek::SetPathToken(vek::e_AppPath, m_Saved);
    m_Stream = std::tmpfile();
    vek::g_pLogHolder->m_LogFile.Attach(m_Stream);
  }
  ~LogCapture() {
    vek::g_pLogHolder->m_LogFile.Attach(nullptr);
    vek::DestroyLogHolder();
    std::fclose(m_Stream);
  }
  std::string Text() const {
    std::fflush(m_Stream);
    std::rewind(m_Stream);
    std::string text;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof(buf), m_Stream)) > 0) text.append(buf, n);
    return text;
  }

 private:
  std::string m_Saved;
  std::FILE* m_Stream = nullptr;
};

struct ZipMember {
  std::string name;
  std::string data;
  bool deflate = true;
  // Written as raw deflate data with this claimed size and checksum (for broken members).
  bool raw = false;
  unsigned long rawSize = 0;
  unsigned long rawCrc = 0;
};

// The data as a raw deflate stream (no zlib header), as zip members hold it.
inline std::string RawDeflate(const std::string& data) {
  z_stream z;
  std::memset(&z, 0, sizeof(z));
  if (deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) return {};
  std::string out(deflateBound(&z, static_cast<uLong>(data.size())), '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  const int rc = deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return rc == Z_STREAM_END ? out : std::string();
}

// Writes a zip archive with minizip's writer; false when it fails.
inline bool WriteZip(const std::string& path, const std::vector<ZipMember>& members) {
  zipFile zip = zipOpen(path.c_str(), APPEND_STATUS_CREATE);
  if (!zip) return false;
  bool ok = true;
  for (const ZipMember& m : members) {
    zip_fileinfo info;
    std::memset(&info, 0, sizeof(info));
    int method = m.deflate || m.raw ? Z_DEFLATED : 0;
    ok = ok && zipOpenNewFileInZip2(zip, m.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                    method, Z_DEFAULT_COMPRESSION, m.raw ? 1 : 0) == ZIP_OK;
    if (!m.data.empty()) {
      ok = ok && zipWriteInFileInZip(zip, m.data.data(), static_cast<unsigned>(m.data.size())) ==
                     ZIP_OK;
    }
    ok = ok && (m.raw ? zipCloseFileInZipRaw(zip, m.rawSize, m.rawCrc)
                      : zipCloseFileInZip(zip)) == ZIP_OK;
  }
  return zipClose(zip, nullptr) == ZIP_OK && ok;
}

inline unsigned long Crc(const std::string& data) {
  return crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(data.data()),
               static_cast<uInt>(data.size()));
}

// Sets the compression method that the local header and the central directory state for a
// member (12 = bzip2, which the engine does not read).
inline bool PatchMethod(std::string& zip, const std::string& member, unsigned method) {
  int patched = 0;
  const struct {
    const char* signature;
    size_t method, nameLength, name;
  } kinds[] = {{"PK\x03\x04", 8, 26, 30}, {"PK\x01\x02", 10, 28, 46}};
  for (const auto& k : kinds) {
    for (size_t at = zip.find(k.signature); at != std::string::npos;
         at = zip.find(k.signature, at + 4)) {
      if (at + k.name > zip.size()) break;
      const size_t length = static_cast<unsigned char>(zip[at + k.nameLength]) |
                            static_cast<size_t>(static_cast<unsigned char>(zip[at + k.nameLength + 1])) << 8;
      if (zip.compare(at + k.name, length, member) != 0) continue;
      zip[at + k.method] = static_cast<char>(method & 0xFF);
      zip[at + k.method + 1] = static_cast<char>(method >> 8);
      ++patched;
      break;
    }
  }
  return patched == 2;
}

// Sets the uncompressed size (and, when asked, the compressed size) that the local header and
// the central directory state for a member.
inline bool PatchSizes(std::string& zip, const std::string& member, uint32_t size,
                       bool compressedToo = false) {
  auto u16 = [&](size_t o) {
    return unsigned(static_cast<unsigned char>(zip[o])) |
           unsigned(static_cast<unsigned char>(zip[o + 1])) << 8;
  };
  auto put = [&](size_t o) {
    for (int i = 0; i < 4; ++i) zip[o + i] = static_cast<char>(size >> (8 * i));
  };
  int patched = 0;
  // Local header: sizes at 18 and 22, name length at 26, name at 30. Central directory
  // entry: sizes at 20 and 24, name length at 28, name at 46.
  const struct {
    const char* signature;
    size_t compressed, uncompressed, nameLength, name;
  } kinds[] = {{"PK\x03\x04", 18, 22, 26, 30}, {"PK\x01\x02", 20, 24, 28, 46}};
  for (const auto& k : kinds) {
    for (size_t at = zip.find(k.signature); at != std::string::npos;
         at = zip.find(k.signature, at + 4)) {
      if (at + k.name > zip.size()) break;
      if (zip.compare(at + k.name, u16(at + k.nameLength), member) != 0) continue;
      put(at + k.uncompressed);
      if (compressedToo) put(at + k.compressed);
      ++patched;
      break;
    }
  }
  return patched == 2;
}

}  // namespace filetest
