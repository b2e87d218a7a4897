#include "game/app/locale_gd.h"

#include <cctype>
#include <cstring>

cLocaleGD g_LocaleGD;

cLocaleGD::cLocaleGD() {
#define LOCALE_GD_MESSAGE(field, text) field = text;
#define LOCALE_GD_KEY(field) field = #field;
  LOCALE_GD_MESSAGES(LOCALE_GD_MESSAGE)
  LOCALE_GD_KEYS(LOCALE_GD_KEY)
#undef LOCALE_GD_MESSAGE
#undef LOCALE_GD_KEY
}

vek::string FillPlaceholder(const vek::string& text, const vek::string& value) {
  vek::string out;
  bool filled = false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out += text[i];
      continue;
    }
    if (i + 1 < text.size() && text[i + 1] == '%') {
      out += '%';
      ++i;
      continue;
    }
    // A conversion: flags, width, precision, length, then its letter.
    size_t j = i + 1;
    while (j < text.size() && std::strchr("-+ #0", text[j])) ++j;
    while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j]))) ++j;
    if (j < text.size() && text[j] == '.') {
      ++j;
      while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j]))) ++j;
    }
    while (j < text.size() && std::strchr("hlLqjzt", text[j])) ++j;
    if (!filled && j < text.size() && std::strchr("sdiuxXoeEfgGc", text[j])) {
      out += value;
      filled = true;
      i = j;
    } else {
      out += '%';
    }
  }
  return out;
}

vek::string FillPlaceholder(const vek::string& text, vek::i32 value) {
  return FillPlaceholder(text, std::to_string(value));
}
