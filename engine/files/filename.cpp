#include "engine/files/filename.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <algorithm>

#include "engine/core/path_tokens.h"

namespace vek {
namespace {

struct TokenText {
  const char* key;  // searched for after the "{"
  size_t length;    // length of the whole token, braces included
  int token;
};
const TokenText kTokens[4] = {{"ExePath}", 9, e_ExePath},
                              {"StaticPath}", 12, e_StaticPath},
                              {"AppPath}", 9, e_AppPath},
                              {"UserPath}", 10, e_UserPath}};

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Length of the longest token value that the text begins with (separators compared alike,
// letters exactly), ending at a separator or at the end of the text; 0 when none.
// An already expanded path that is expanded again keeps the case of its token value.
size_t TokenValuePrefix(const vek::string& text) {
  size_t best = 0;
  for (int t = 0; t < 4; ++t) {
    const vek::string& value = GetPathToken(t);
    size_t n = value.size();
    while (n > 1 && IsSeparator(value[n - 1])) --n;  // a trailing separator is not needed
    if (n == 0 || n > text.size() || n <= best) continue;
    bool same = true;
    for (size_t i = 0; i < n && same; ++i) {
      char a = value[i], b = text[i];
      same = (a == b) || (IsSeparator(a) && IsSeparator(b));
    }
    if (same && (n == text.size() || IsSeparator(text[n]))) best = n;
  }
  return best;
}

// Moves a kept span [begin, end) left after `count` characters were removed at the front.
void ShiftSpan(size_t& begin, size_t& end, size_t count) {
  begin = begin > count ? begin - count : 0;
  end = end > count ? end - count : 0;
}

}  // namespace

void ExpandPath(const vek::string& input, vek::string& drive, vek::string& archive,
                vek::string& folder, vek::string& name, vek::string& ext) {
  vek::string text = input;
  // The characters of an expanded token value keep their case.
  size_t keepBegin = 0, keepEnd = 0;

  // 1. One token, found after the first "{".
  bool expanded = false;
  size_t brace = text.find('{');
  if (brace != vek::string::npos) {
    for (const TokenText& t : kTokens) {
      if (text.find(t.key, brace) == vek::string::npos) continue;
      const vek::string& value = GetPathToken(t.token);
      text.replace(brace, std::min(t.length, text.size() - brace), value);
      keepBegin = brace;
      keepEnd = brace + value.size();
      expanded = true;
      break;
    }
  }
  if (!expanded) keepEnd = TokenValuePrefix(text);

  // 2. The long-path prefix "\\?\".
  if (text.size() >= 4 && text.compare(0, 4, "\\\\?\\") == 0) {
    text.erase(0, 4);
    ShiftSpan(keepBegin, keepEnd, 4);
  }

  // 3. A drive letter.
  drive.clear();
  if (text.size() >= 2 && text[1] == ':') {
    drive.assign(1, text[0]);
    text.erase(0, 2);
    ShiftSpan(keepBegin, keepEnd, 2);
  }

  // 4. Separators and case. Only a path written with a token (a data-set path) is lower-cased,
  // and never the token's value; any other path (a folder the user chose, an absolute path)
  // keeps its case, as the file system needs it.
  const bool tokenPath = expanded || keepEnd > 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '/') {
      text[i] = '\\';
    } else if (tokenPath && (i < keepBegin || i >= keepEnd)) {
      text[i] = LowerAscii(text[i]);
    }
  }

  // 5. One leading separator. Without a drive letter it marks an absolute path.
  if (!text.empty() && text[0] == '\\') {
    if (drive.empty()) drive = kRootDrive;
    text.erase(0, 1);
    ShiftSpan(keepBegin, keepEnd, 1);
  }

  // 6. Folder and name.
  size_t slash = text.rfind('\\');
  if (slash == vek::string::npos) {
    folder.clear();
    name = text;
  } else {
    folder = text.substr(0, slash);
    name = text.substr(slash + 1);
  }

  // 7. Extension.
  size_t dot = name.rfind('.');
  if (dot == vek::string::npos) {
    ext.clear();
  } else {
    ext = name.substr(dot + 1);
    name.erase(dot);
  }

  // 8. The archive: the last ".zip" of the folder. A token value (a system folder) is never
  // taken for an archive.
  archive.clear();
  size_t at = folder.size();
  while (at > 0) {
    size_t pos = folder.rfind(".zip", at - 1);
    if (pos == vek::string::npos) break;
    bool insideKept = pos + 4 > keepBegin && pos < keepEnd;
    if (!insideKept) {
      archive = folder.substr(0, pos + 4);
      size_t rest = pos + 4;
      if (rest < folder.size() && folder[rest] == '\\') ++rest;
      folder.erase(0, rest);
      break;
    }
    if (pos == 0) break;
    at = pos;
  }
}

vek::string MakePath(const vek::string& drive, const vek::string& archive,
                     const vek::string& folder, const vek::string& name, const vek::string& ext) {
  vek::string path;
  if (drive == kRootDrive) {
    path += '\\';
  } else if (!drive.empty()) {
    path += drive;
    path += ":\\";
  }
  if (!archive.empty()) {
    path += archive;
    path += '\\';
  }
  if (!folder.empty()) {
    path += folder;
    path += '\\';
  }
  path += name;
  if (!ext.empty()) {
    path += '.';
    path += ext;
  }
  return path;
}

filename::filename(const char* text) : filename(vek::string(text ? text : "")) {}

filename::filename(const vek::string& text) {
  ExpandPath(text, drive, archive, folder, name, ext);
  path = MakePath(drive, archive, folder, name, ext);
}

void filename::replace_ext(const vek::string& newExt) {
  ext = newExt;
  path = MakePath(drive, archive, folder, name, ext);
}

vek::string filename::dir() const { return MakePath(drive, archive, folder, "", ""); }

vek::string filename::file() const { return MakePath("", "", "", name, ext); }

filename CombinePath(const vek::string& folder, const vek::string& name) {
  if (folder.empty()) return filename(name);
  if (!name.empty() && name[0] == '.') return filename(folder + name);
  if (IsSeparator(folder.back())) return filename(folder + name);
  return filename(folder + "\\" + name);
}

filename CombinePath(const vek::string& folder, const char* name) {
  return CombinePath(folder, vek::string(name ? name : ""));
}

namespace {

bool Exists(const vek::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

// The entry of the folder whose name equals `name` but for the case of ASCII letters; the
// smallest such name when several do, empty when none.
vek::string FindCaseBlind(const vek::string& folder, const vek::string& name) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return {};
  vek::string best;
  while (const dirent* e = ::readdir(dir)) {
    if (::strcasecmp(e->d_name, name.c_str()) == 0 && (best.empty() || best > e->d_name))
      best = e->d_name;
  }
  ::closedir(dir);
  return best;
}

}  // namespace

vek::string NativePath(const vek::string& path) {
  vek::string out = path;
  std::replace(out.begin(), out.end(), '\\', '/');
  if (out.empty() || Exists(out)) return out;
  // Data-set paths are lower-cased; where the exact one is missing, each missing part is looked
  // up case-blind in its folder. What is not found at all stays as written (a file to create).
  vek::string resolved = out[0] == '/' ? "/" : "";
  size_t pos = resolved.size();
  while (pos <= out.size()) {
    size_t next = out.find('/', pos);
    if (next == vek::string::npos) next = out.size();
    const vek::string part = out.substr(pos, next - pos);
    if (!part.empty()) {
      vek::string candidate = resolved + part;
      if (!Exists(candidate)) {
        const vek::string found = FindCaseBlind(resolved, part);
        if (found.empty()) return resolved + out.substr(pos);
        candidate = resolved + found;
      }
      resolved = candidate;
      if (next < out.size()) resolved += '/';
    } else if (next < out.size() && (resolved.empty() || resolved.back() != '/')) {
      resolved += '/';
    }
    pos = next + 1;
  }
  return resolved;
}

}  // namespace vek
