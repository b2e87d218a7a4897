#include "game/app/settings_file.h"

#include <lua.hpp>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>

#include "engine/core/format.h"
#include "engine/core/log.h"
#include "engine/files/data_manager.h"
#include "engine/script/script.h"
#include "platform/regular_file.h"

namespace {

const char* const kSender = "cGarden";
const char* const kHeader = "-- Orchardia settings, written by the game when it ends.\n";

// What reading the file may spend: the game's own file takes a few dozen instructions.
vek::cScript::cValuesBudget SettingsBudget() {
  vek::cScript::cValuesBudget budget;
  budget.instructions = 100000;
  budget.memory = vek::u64(1) << 20;
  budget.seconds = 0.25;
  return budget;
}

// The most entries taken from the file's table, and the longest text.
constexpr int kMaxEntries = 256;
constexpr size_t kMaxTextBytes = 4096;

void Refuse(const vek::string& path, const vek::string& why) {
  vek::LogWarning(kSender, "Settings file %s not used: %s; the defaults apply\n", path, why);
}

void SetSettingsGlobal(lua_State* L, bool fromTop) {
  if (!fromTop) lua_pushnil(L);
  lua_rawgeti(L, LUA_REGISTRYINDEX, LUA_RIDX_GLOBALS);
  lua_insert(L, -2);
  lua_setfield(L, -2, "Settings");
  lua_pop(L, 1);
}

// Protected: the environment table the file left (argument 1) -> a new table of the plain
// values of its field "Settings", or nil when it has no such table. Raw access only.
int CopySettings(lua_State* L) {
  lua_settop(L, 1);
  lua_pushliteral(L, "Settings");
  lua_rawget(L, 1);
  if (!lua_istable(L, 2)) {
    lua_pushnil(L);
    return 1;
  }
  lua_newtable(L);  // 3
  int taken = 0;
  lua_pushnil(L);
  while (taken < kMaxEntries && lua_next(L, 2) != 0) {
    const int type = lua_type(L, -1);
    bool plain = type == LUA_TNUMBER || type == LUA_TBOOLEAN;
    if (type == LUA_TSTRING) plain = lua_rawlen(L, -1) <= kMaxTextBytes;
    if (lua_type(L, -2) == LUA_TSTRING && plain) {
      lua_pushvalue(L, -2);
      lua_insert(L, -2);
      lua_rawset(L, 3);
      ++taken;
    } else {
      lua_pop(L, 1);
    }
  }
  lua_settop(L, 3);
  return 1;
}

// The file's bytes when it may be used, else a refusal (why) or nothing at all (missing).
enum class eRead { Missing, Refused, Read };
eRead ReadOwnFile(const vek::string& path, vek::string* text, vek::string* why) {
  const int fd = plat::OpenRegularForReading(path);
  if (fd < 0) {
    if (errno == ENOENT) return eRead::Missing;
    *why = errno == EINVAL ? vek::string("it is not a regular file")
                           : vek::Formatted("it cannot be read (%s)", std::strerror(errno));
    return eRead::Refused;
  }
  struct stat st {};
  eRead result = eRead::Read;
  if (::fstat(fd, &st) != 0) {
    *why = vek::Formatted("it cannot be read (%s)", std::strerror(errno));
    result = eRead::Refused;
  } else if (st.st_uid != ::geteuid()) {
    *why = vek::Formatted("it belongs to another user (uid %i)", static_cast<int>(st.st_uid));
    result = eRead::Refused;
  } else if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
    *why = vek::Formatted("other users may write it (mode %o)", static_cast<int>(st.st_mode & 07777));
    result = eRead::Refused;
  } else if (st.st_size > static_cast<off_t>(kMaxSettingsFileBytes)) {
    *why = vek::Formatted("it is larger than %i bytes", static_cast<int>(kMaxSettingsFileBytes));
    result = eRead::Refused;
  } else {
    std::array<char, 4096> buffer;
    for (;;) {
      const ssize_t n = ::read(fd, buffer.data(), buffer.size());
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        *why = vek::Formatted("it cannot be read (%s)", std::strerror(errno));
        result = eRead::Refused;
        break;
      }
      if (n == 0) break;
      text->append(buffer.data(), static_cast<size_t>(n));
      if (text->size() > kMaxSettingsFileBytes) {
        *why = vek::Formatted("it is larger than %i bytes", static_cast<int>(kMaxSettingsFileBytes));
        result = eRead::Refused;
        break;
      }
    }
  }
  ::close(fd);
  return result;
}

bool IsKeyword(const vek::string& name) {
  static const char* const kKeywords[] = {"and",   "break", "do",     "else", "elseif", "end",   "false", "for",
                                          "function", "goto", "if",   "in",   "local",  "nil",   "not",   "or",
                                          "repeat", "return", "then", "true", "until",  "while"};
  for (const char* k : kKeywords)
    if (name == k) return true;
  return false;
}

bool IsName(const vek::string& name) {
  if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0]))) return false;
  for (unsigned char c : name)
    if (!std::isalnum(c) && c != '_') return false;
  return !IsKeyword(name);
}

// A text as a Lua string literal that reads back byte for byte.
void AppendQuoted(vek::string& out, const vek::string& text) {
  out += '"';
  for (unsigned char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20 || c == 0x7f) {
          out += vek::Formatted("\\%03i", static_cast<int>(c));
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  out += '"';
}

// The shortest text that reads back to the number as the program holds it: a whole number as
// such, a fraction that a float holds exactly (the settings are floats in the program) as the
// float's shortest text, any other as the double's. Empty for infinities and NaN.
vek::string NumberText(double value) {
  if (!std::isfinite(value)) return {};
  char buffer[64];
  std::to_chars_result r{};
  if (std::trunc(value) == value && std::fabs(value) < 9007199254740992.0) {
    r = std::to_chars(buffer, buffer + sizeof buffer, static_cast<long long>(value));
  } else if (const float f = static_cast<float>(value); static_cast<double>(f) == value) {
    r = std::to_chars(buffer, buffer + sizeof buffer, f);
  } else {
    r = std::to_chars(buffer, buffer + sizeof buffer, value);
  }
  return r.ec == std::errc() ? vek::string(buffer, r.ptr) : vek::string();
}

int LuaWriteSettingsFile(lua_State* L) {
  const char* path = luaL_checkstring(L, 1);
  luaL_checktype(L, 2, LUA_TTABLE);
  lua_settop(L, 2);
  bool written = false;
  {
    cSettingValues values;
    lua_pushnil(L);
    while (lua_next(L, 2) != 0) {
      if (lua_type(L, -2) == LUA_TSTRING) {
        size_t length = 0;
        const char* key = lua_tolstring(L, -2, &length);
        const vek::string name(key, length);
        switch (lua_type(L, -1)) {
          case LUA_TNUMBER: values[name] = static_cast<double>(lua_tonumber(L, -1)); break;
          case LUA_TBOOLEAN: values[name] = lua_toboolean(L, -1) != 0; break;
          case LUA_TSTRING: {
            const char* text = lua_tolstring(L, -1, &length);
            values[name] = vek::string(text, length);
            break;
          }
          default: break;
        }
      }
      lua_pop(L, 1);
    }
    written = WriteSettingsFile(vek::filename(path), values);
  }
  lua_pushboolean(L, written ? 1 : 0);
  return 1;
}

}  // namespace

bool LoadSettingsFile(vek::cScript& script, const vek::filename& file) {
  lua_State* L = script.GetState();
  if (!L) return false;
  SetSettingsGlobal(L, false);
  const vek::string path = vek::NativePath(file.path);
  vek::string text, why;
  switch (ReadOwnFile(path, &text, &why)) {
    case eRead::Missing: return false;
    case eRead::Refused: Refuse(path, why); return false;
    case eRead::Read: break;
  }
  // An empty file is as good as none (the game never writes one).
  if (text.empty()) return false;
  if (!script.RunValues(text, "=settings.lua", SettingsBudget(), &why)) {
    Refuse(path, why);
    return false;
  }
  lua_pushcfunction(L, CopySettings);
  lua_insert(L, -2);
  if (lua_pcall(L, 1, 1, 0) != LUA_OK) {
    const char* message = lua_tostring(L, -1);
    Refuse(path, message ? message : "its values cannot be taken");
    lua_pop(L, 1);
    return false;
  }
  SetSettingsGlobal(L, true);
  return true;
}

vek::string FormatSettings(const cSettingValues& values) {
  vek::string text = kHeader;
  text += "Settings = {\n";
  for (const auto& [name, value] : values) {
    vek::string shown;
    if (const double* number = std::get_if<double>(&value)) {
      shown = NumberText(*number);
      if (shown.empty()) continue;  // not a number: the default applies when it is read
    } else if (const bool* flag = std::get_if<bool>(&value)) {
      shown = *flag ? "true" : "false";
    } else {
      AppendQuoted(shown, std::get<vek::string>(value));
    }
    text += "  ";
    if (IsName(name)) {
      text += name;
    } else {
      text += '[';
      AppendQuoted(text, name);
      text += ']';
    }
    text += " = " + shown + ",\n";
  }
  text += "}\n";
  return text;
}

bool WriteSettingsFile(const vek::filename& file, const cSettingValues& values) {
  const vek::string text = FormatSettings(values);
  // The writer makes its temporary anew, whatever lies at its name (a link left there cannot
  // lead it outside the folder).
  const auto result = vek::cDataManager::WriteWhole(file, text.data(), static_cast<vek::u32>(text.size()));
  if (result == vek::cDataManager::Ok) return true;
  vek::LogWarning(kSender, "Settings file %s not written\n", vek::NativePath(file.path));
  return false;
}

void RegisterSettingsFile(lua_State* L) { lua_register(L, "WriteSettingsFile", LuaWriteSettingsFile); }
