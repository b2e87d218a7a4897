#include "engine/core/format.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

namespace {

using vek::FormatArg;

struct FormatCase {
  const char* format;
  FormatArg a1;
  FormatArg a2;
  const char* expected;
};

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(Format, Conversions) {
  const FormatArg none;
  const vek::string empty;
  const FormatCase cases[] = {
      // Integers: sign, width, justification, zero padding, alternate forms.
      {"%d", -42, none, "-42"},
      {"%5d", -42, none, "  -42"},
      {"%-5d|", -42, none, "-42  |"},
      {"%05d", -42, none, "-0042"},
      {"%-05d|", -42, none, "-42  |"},
      {"%#x", 255, none, "0xff"},
      {"%#08X", 255, none, "0X0000FF"},
      {"%#o", 8, none, "010"},
      {"%#o", 0, none, "00"},
      {"%#d", 5, none, "5"},
      {"%x", 48879, none, "beef"},
      {"%u", 7, none, "7"},
      {"%10d", 123, none, "       123"},
      {"%d", INT_MIN, none, "-2147483648"},
      {"%5.2f", 42, none, "   42"},  // the record's type decides, precision ignored
      {"%5.0d", 42, none, "00042"},  // "." passed over: the "0" after it asks for zeros
      {"%.3d", 42, none, " 42"},     // and the digits after it give the width
      // The record's type, not the letter, decides.
      {"%s", 42, none, "42"},
      {"%d", "abc", none, "abc"},
      {"%f", "abc", none, "abc"},
      {"%s", 1.5, none, "1.500000"},
      // Doubles: truncated digits, width, sign, exponent form.
      {"%.2f", 3.14159, none, "3.14"},
      {"%8.3f", -1.5, none, "  -1.500"},
      {"%-8.2f|", -1.5, none, "-1.50   |"},
      {"%08.2f", -1.5, none, "-0001.50"},
      {"%f", 2.675, none, "2.674999"},
      {"%.0f", 3.5, none, "3.500000"},  // a leading zero in the precision means zero padding
      {"%.05f", 1.5, none, "1.50000"},
      {"%f", 1e20, none, "100000000000000000000.000000"},
      {"%e", 12345.678, none, "1.234568e+004"},
      {"%e", 1.5e-120, none, "0.150000e-119"},
      {"%E", 0.5, none, "0.500000E+000"},
      {"%.2e", -250.0, none, "-2.50e+002"},
      {"%f", 0.0, none, "0.000000"},
      {"%e", -0.0, none, "0.000000e+000"},
      {"%.2E", 0.0, none, "0.00E+000"},
      {"%f", -kInf, none, "-INF"},
      {"%f", kInf, none, "+INF"},
      {"%6f|", kNaN, none, "   NaN|"},
      {"%08f", kInf, none, "0000+INF"},  // justified and zero-padded as integers are
      {"%06f", kNaN, none, "000NaN"},
      {"%-7f|", -kInf, none, "-INF   |"},
      // Characters and texts.
      {"%c", FormatArg::Char('x'), none, "x"},
      {"%3c", FormatArg::Char('x'), none, "  x"},
      {"%-3c|", FormatArg::Char('x'), none, "x  |"},
      {"%5s", "ab", none, "   ab"},
      {"%-5s|", "ab", none, "ab   |"},
      {"%1s", "abc", none, "abc"},
      {"[%s]", empty, none, "[]"},
      // Percent signs, unknown and unfinished conversions, missing records.
      {"100%", none, none, "100"},
      {"abc%-5", 1, none, "abc"},
      {"%y", none, none, "%y"},
      {"%-5y|", 1, none, "%-5y|"},
      {"%%", none, none, "%"},
      {"%d%%", 50, none, "50%"},
      {"a%sb", none, none, "ab"},
      {"%s=%d", "key", 3, "key=3"},
      {"%d %d %d", 1, 2, "1 2 "},
      {"", 1, none, ""},
  };
  for (const FormatCase& c : cases) {
    EXPECT_EQ(vek::Formatted(c.format, c.a1, c.a2), c.expected) << "format '" << c.format << "'";
  }
}

TEST(Format, RecordsBeyondTheSeventhPrintNothing) {
  EXPECT_EQ(vek::Formatted("%d%d%d%d%d%d%d%d|", 1, 2, 3, 4, 5, 6, 7), "1234567|");
  EXPECT_EQ(vek::Formatted("%d%d%d%d%d%d%d%d%d%d%d%d|", 1, 2, 3, 4, 5, 6, 7), "1234567|");
}

TEST(Format, WidthAndPrecisionFromDataAreBounded) {
  // A width or precision read from a data file never makes a huge or overflowing text.
  const vek::string wide = vek::Formatted("%99999999999999999999d", 1);
  EXPECT_LE(wide.size(), 256u);
  EXPECT_EQ(wide.back(), '1');
  EXPECT_LE(vek::Formatted("%-99999999s|", "x").size(), 257u);
  EXPECT_EQ(vek::Formatted("%.99f", 1.0), "1.00000000000000000000");
  EXPECT_EQ(vek::Formatted("%.99e", 1.0).size(), 27u);  // 1 + "." + 20 digits + "e+000"
  // The largest and the smallest doubles format in full.
  EXPECT_EQ(vek::Formatted("%f", 1.7976931348623157e308).size(), 309u + 7u);
  const vek::string tiny = vek::Formatted("%e", 4.9406564584124654e-324);
  EXPECT_EQ(tiny, "0.494066e-323");
}

TEST(Format, FormatReplacesAndAppendFormatAppends) {
  vek::string out = "old";
  vek::AppendFormat(out, " %d", 1);
  EXPECT_EQ(out, "old 1");
  vek::Format(out, "%s!", "new");
  EXPECT_EQ(out, "new!");
  // The output may serve as its own format or argument.
  vek::AppendFormat(out, "[%s]", out);
  EXPECT_EQ(out, "new![new!]");
  out = "x%d";
  vek::Format(out, out.c_str(), 5);
  EXPECT_EQ(out, "x5");
}

TEST(StringHelpers, Trim) {
  struct {
    const char* in;
    const char* left;
    const char* right;
  } cases[] = {
      {"  a b \t\n", "a b \t\n", "  a b"},
      {" \t\r\n ", "", ""},
      {"", "", ""},
      {"x", "x", "x"},
  };
  for (const auto& c : cases) {
    vek::string l = c.in, r = c.in;
    vek::TrimLeft(l);
    vek::TrimRight(r);
    EXPECT_EQ(l, c.left) << "'" << c.in << "'";
    EXPECT_EQ(r, c.right) << "'" << c.in << "'";
  }
}

TEST(StringHelpers, Split) {
  using V = std::vector<vek::string>;
  EXPECT_EQ(vek::SplitString(",a,,b,", ","), (V{"a", "b"}));
  EXPECT_EQ(vek::SplitString("a::b:::c", "::"), (V{"a", "b", ":c"}));
  EXPECT_EQ(vek::SplitString("", ","), V{});
  EXPECT_EQ(vek::SplitString(",,,", ","), V{});
  EXPECT_EQ(vek::SplitString("abc", ","), V{"abc"});
  EXPECT_EQ(vek::SplitString("abc", ""), V{"abc"});  // no delimiter: the whole text

  EXPECT_EQ(vek::Left("garden", 3), "gar");
  EXPECT_EQ(vek::Left("ab", 5), "ab");

  EXPECT_EQ(vek::SplitAtFirst("key=value=x", '='), std::make_pair(vek::string("key"), vek::string("value=x")));
  EXPECT_EQ(vek::SplitAtFirst("novalue", '='), std::make_pair(vek::string("novalue"), vek::string()));
  EXPECT_EQ(vek::SplitAtFirst("=v", '='), std::make_pair(vek::string(), vek::string("v")));
}

TEST(StringHelpers, Numbers) {
  struct {
    const char* in;
    float value;
  } floats[] = {
      {"  -1.25xyz", -1.25f}, {"+3", 0.0f},    {"\t\n7.5", 7.5f}, {"-.5", -0.5f},
      {"abc", 0.0f},          {"12e3", 12.0f}, {"", 0.0f},        {"0.001", 0.001f},
  };
  for (const auto& c : floats) EXPECT_FLOAT_EQ(vek::StringToFloat(c.in), c.value) << c.in;

  EXPECT_EQ(vek::StringToInt(" -12x"), -12);
  EXPECT_EQ(vek::StringToInt("+7"), 7);
  EXPECT_EQ(vek::StringToInt("x1"), 0);
  EXPECT_EQ(vek::StringToInt("99999999999"), INT_MAX);
  EXPECT_EQ(vek::StringToInt("-99999999999"), INT_MIN);

  EXPECT_TRUE(vek::IsNumber(""));
  EXPECT_TRUE(vek::IsNumber("0123456789"));
  EXPECT_FALSE(vek::IsNumber("-1"));
  EXPECT_FALSE(vek::IsNumber("12 "));
}

TEST(StringHelpers, CollapseBlanks) {
  struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"  a   b  ", "a b"}, {"a b", "a b"}, {" ", ""}, {"", ""}, {"a\t\tb", "a\t\tb"},
  };
  for (const auto& c : cases) {
    vek::string s = c.in;
    vek::CollapseBlanks(s);
    EXPECT_EQ(s, c.out) << "'" << c.in << "'";
  }
}

TEST(StringHelpers, ToLowerHonoursTheLocaleName) {
  vek::string s = "MiXeD 123 \xC4";
  vek::ToLower(s);
  EXPECT_EQ(s, "mixed 123 \xC4");  // the C runtime leaves bytes above 127 alone

  vek::SetLowerCaseLocale("C");
  EXPECT_EQ(vek::GetLowerCaseLocale(), "C");
  s = "ABC";
  vek::ToLower(s);
  EXPECT_EQ(s, "abc");

  // A locale this system does not know falls back to the plain conversion.
  vek::SetLowerCaseLocale("xx_NOWHERE.none");
  s = "ABC";
  vek::ToLower(s);
  EXPECT_EQ(s, "abc");
  vek::SetLowerCaseLocale("");
}

}  // namespace
