#pragma once
// File names: every path is written with a path token ("{StaticPath}/conf/system.lua") and
// forward or back slashes. A vek::filename expands the token, normalises the text (back
// slashes, lower case outside the token's value) and keeps the path split into drive,
// archive, folder, name and extension. A folder whose name contains ".zip" is a zip archive
// and the rest of the path names a member inside it.
//
// Inside the engine paths use "\" as separator; NativePath turns them into "/" where they
// meet the file system. An absolute path ("/home/...") keeps its root: its drive holds
// kRootDrive and MakePath puts the leading separator back.
#include "engine/core/types.h"

namespace vek {

// The drive value of an absolute path (one that started with a separator).
inline constexpr const char* kRootDrive = "/";

class filename {
 public:
  filename() = default;
  filename(const char* text);          // NOLINT: paths are passed as plain texts everywhere
  filename(const vek::string& text);   // NOLINT
  filename(const filename&) = default;
  filename& operator=(const filename&) = default;
  filename(filename&&) = default;
  filename& operator=(filename&&) = default;

  // Stores the extension and rebuilds the full path.
  void replace_ext(const vek::string& newExt);

  // The drive, archive and folder as a path ending in "\" (empty when all three are empty).
  vek::string dir() const;
  // The name and extension: "name.ext" (or "name" without an extension).
  vek::string file() const;
  const char* c_str() const { return path.c_str(); }
  bool empty() const { return path.empty(); }

  vek::string path;     // the full path rebuilt from the parts below
  vek::string drive;    // drive letter without colon, kRootDrive for an absolute path, or empty
  vek::string archive;  // folder part up to and including the last ".zip", or empty
  vek::string folder;   // the rest of the folder, without leading or trailing "\"
  vek::string name;     // file name without extension
  vek::string ext;      // extension without the dot
};

// Expands a path token and splits the text into its parts.
void ExpandPath(const vek::string& text, vek::string& drive, vek::string& archive,
                vek::string& folder, vek::string& name, vek::string& ext);

// Joins the parts into a full path.
vek::string MakePath(const vek::string& drive, const vek::string& archive,
                     const vek::string& folder, const vek::string& name, const vek::string& ext);

// A name inside a folder. A name beginning with "." is appended to the folder text as it is
// (a suffix); otherwise a separator is put between them unless the folder already ends in one.
filename CombinePath(const vek::string& folder, const vek::string& name);
filename CombinePath(const vek::string& folder, const char* name);

// The path as the file system wants it: every "\" becomes "/".
vek::string NativePath(const vek::string& path);

}  // namespace vek
