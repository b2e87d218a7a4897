#pragma once
// The type prefixes of the script-visible field names: "f" float, "i", "n" or "ui" integer,
// "str" text, "arr" array. The game's script interface hands the four predicates to Lua.
#include "engine/core/types.h"

bool IsFloat(const vek::string& tag);
bool IsInt(const vek::string& tag);
bool IsString(const vek::string& tag);
bool IsArray(const vek::string& tag);
