#pragma once
// The engine's own printf-like formatter and its small string helpers.
#include <utility>
#include <vector>

#include "engine/core/types.h"

namespace vek {

// One typed argument of the formatter. The conversion letter in the format does not
// choose how a value prints: the record's type does.
struct FormatArg {
  enum Type : i32 { None = 0, Character = 1, Integer = 2, Double = 3, Text = 4 };

  i32 type = None;
  union {
    char c;
    i32 i;
    double d;
    const char* s;
  };

  FormatArg() : d(0.0) {}
  FormatArg(int v) : type(Integer), i(v) {}
  FormatArg(unsigned v) : type(Integer), i(static_cast<i32>(v)) {}
  FormatArg(double v) : type(Double), d(v) {}
  // A text record; a null text makes an empty record, never a text record.
  FormatArg(const char* v) : type(v ? Text : None), s(v) {}
  // Points at the string's text: the string must outlive the record.
  FormatArg(const vek::string& v) : type(Text), s(v.c_str()) {}

  static FormatArg Char(char v) {
    FormatArg a;
    a.type = Character;
    a.c = v;
    return a;
  }
};
static_assert(sizeof(FormatArg) == 16, "FormatArg is a 16-byte record");

// The shared empty record that stands for "no argument".
extern const FormatArg g_NoArg;

void AppendFormat(vek::string& out, const char* format, const FormatArg& a1 = g_NoArg,
                  const FormatArg& a2 = g_NoArg, const FormatArg& a3 = g_NoArg,
                  const FormatArg& a4 = g_NoArg, const FormatArg& a5 = g_NoArg,
                  const FormatArg& a6 = g_NoArg, const FormatArg& a7 = g_NoArg);
void Format(vek::string& out, const char* format, const FormatArg& a1 = g_NoArg,
            const FormatArg& a2 = g_NoArg, const FormatArg& a3 = g_NoArg,
            const FormatArg& a4 = g_NoArg, const FormatArg& a5 = g_NoArg,
            const FormatArg& a6 = g_NoArg, const FormatArg& a7 = g_NoArg);
// Convenience: returns the formatted text.
vek::string Formatted(const char* format, const FormatArg& a1 = g_NoArg,
                      const FormatArg& a2 = g_NoArg, const FormatArg& a3 = g_NoArg,
                      const FormatArg& a4 = g_NoArg, const FormatArg& a5 = g_NoArg,
                      const FormatArg& a6 = g_NoArg, const FormatArg& a7 = g_NoArg);

// The first n characters of the text as a new string (the whole text when it is shorter).
vek::string Left(const vek::string& text, std::size_t n);
void TrimLeft(vek::string& text);
void TrimRight(vek::string& text);
std::pair<vek::string, vek::string> SplitAtFirst(const vek::string& text, char delimiter);
std::vector<vek::string> SplitString(const vek::string& text, const vek::string& delimiter);
void ToLower(vek::string& text);
f32 StringToFloat(const vek::string& text);
int StringToInt(const vek::string& text);
bool IsNumber(const vek::string& text);
void CollapseBlanks(vek::string& text);

// The locale name that ToLower honours (empty: the runtime's plain tolower).
void SetLowerCaseLocale(const vek::string& name);
const vek::string& GetLowerCaseLocale();

}  // namespace vek
