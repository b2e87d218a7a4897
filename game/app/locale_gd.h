#pragma once
// The game's text table: every text the game's own code shows, with English messages and
// key-named defaults built in, replaced by "{StaticPath}/conf/locale.lua" through the script
// global "locale". One instance exists for the whole program.
#include "engine/core/types.h"
#include "game/app/locale_gd_fields.h"

class cLocaleGD {
 public:
  cLocaleGD();

#define LOCALE_GD_FIELD(field, ...) vek::string field;
  LOCALE_GD_MESSAGES(LOCALE_GD_FIELD)
  LOCALE_GD_KEYS(LOCALE_GD_FIELD)
#undef LOCALE_GD_FIELD
};

extern cLocaleGD g_LocaleGD;

// The number of texts of the table.
constexpr int kLocaleGDCount = 192;  // 152 of the windows and the field, 9 comics captions, 27 of the menus, 4 about the player's files

// Texts of the table used as formats: the first placeholder ("%s", "%i", "%d" and the like,
// with flags and width) is replaced by the value, "%%" becomes "%", and anything else,
// including a second placeholder, stays as it is written. A translated text with a wrong or
// extra placeholder never reads a value that is not there.
vek::string FillPlaceholder(const vek::string& text, const vek::string& value);
vek::string FillPlaceholder(const vek::string& text, vek::i32 value);
