#pragma once
// The settings file {AppPath}/conf/settings.lua: the game writes it at exit (the script
// function WriteSettings hands its values to WriteSettingsFile) and reads it back at start.
// It holds values only,
//
//   Settings = {
//     gamma = 0.98,
//     player = "Ann",
//     windowed = false,
//   }
//
// and is read as such: run as a chunk of values that reaches nothing of the program, under a
// short budget of instructions, memory and time (cScript::RunValues), and only when it is a
// regular file of the player's own that no one else can write. A file that is refused or
// fails is told by one log line naming it, and the defaults apply.
#include <map>
#include <variant>

#include "engine/core/types.h"
#include "engine/files/filename.h"

struct lua_State;

namespace vek {
class cScript;
}

// One setting: a number, a yes/no or a text.
using cSettingValue = std::variant<double, bool, vek::string>;
// The settings by name.
using cSettingValues = std::map<vek::string, cSettingValue>;

// The most bytes a settings file may have.
constexpr vek::u32 kMaxSettingsFileBytes = 64 * 1024;

// Reads the settings file into the script global "Settings" (a table of its numbers, yes/no
// values and texts, nothing else). The global is nil when the file is missing, empty,
// refused or failing. True when the file was read.
bool LoadSettingsFile(vek::cScript& script, const vek::filename& file);

// The file's text for the values: sorted by name, each number as the shortest text that reads
// back to the value the program holds.
vek::string FormatSettings(const cSettingValues& values);
// Writes the values as the settings file through the engine's whole-file writer (a new
// temporary beside it, synced, renamed over it). False, with a log line, when it fails.
bool WriteSettingsFile(const vek::filename& file, const cSettingValues& values);

// Registers the script function WriteSettingsFile(path, values) -> true when written; values
// is a table of names and numbers, booleans or texts (anything else is left out).
void RegisterSettingsFile(lua_State* L);
