#include "engine/core/format.h"

#include <cctype>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <locale>
#include <memory>

namespace vek {

const FormatArg g_NoArg;

namespace {

// Widths and precisions may come from data files: keep them within sane limits so that a
// stray "%99999999d" neither allocates wildly nor overflows anything.
constexpr int kMaxWidth = 256;
constexpr int kMaxPrecision = 20;

// The records beyond the seven given: a format holds at most ten conversions.
constexpr int kMaxConversions = 10;

// One conversion: the characters after "%" up to and including the letter.
struct Conversion {
  const char* text;
  std::size_t size;
};

bool IsFlagChar(char c) {
  return c == '#' || c == '+' || c == '-' || c == '.' || (c >= '0' && c <= '9');
}

bool IsConversionLetter(char c) {
  return c != '\0' && std::strchr("ACEGPSXacdefginosux", c) != nullptr;
}

// Adds one decimal digit to a number, saturating at `limit`.
int AddDigit(int value, char digit, int limit) {
  if (value >= limit) return limit;
  value = value * 10 + (digit - '0');
  return value > limit ? limit : value;
}

// The runtime's atoi on the conversion text, bounded to the width limit; negative gives 0.
int LeadingNumber(const char* p, const char* end) {
  bool negative = false;
  if (p < end && (*p == '+' || *p == '-')) {
    negative = *p == '-';
    ++p;
  }
  int value = 0;
  for (; p < end && *p >= '0' && *p <= '9'; ++p) value = AddDigit(value, *p, kMaxWidth);
  return negative ? 0 : value;
}

void Pad(vek::string& out, char c, int count) {
  if (count > 0) out.append(static_cast<std::size_t>(count), c);
}

// Places `prefix` and `body` in `width`: left-justified with blanks after, right-justified with
// zeros between prefix and body, or with blanks before both.
void Justify(vek::string& out, const char* prefix, std::size_t prefixSize, const char* body,
             std::size_t bodySize, int width, bool left, bool zeros) {
  const int fill = width - static_cast<int>(prefixSize + bodySize);
  if (left) {
    out.append(prefix, prefixSize);
    out.append(body, bodySize);
    Pad(out, ' ', fill);
  } else if (zeros) {
    out.append(prefix, prefixSize);
    Pad(out, '0', fill);
    out.append(body, bodySize);
  } else {
    Pad(out, ' ', fill);
    out.append(prefix, prefixSize);
    out.append(body, bodySize);
  }
}

// Characters and texts: a leading "-" left-justifies, the number after it is the width.
void WidthOnly(const Conversion& conv, bool& left, int& width) {
  const char* p = conv.text;
  const char* end = conv.text + conv.size;
  left = p < end && *p == '-';
  if (left) ++p;
  width = LeadingNumber(p, end);
}

void FormatChar(vek::string& out, const Conversion& conv, char c) {
  bool left;
  int width;
  WidthOnly(conv, left, width);
  if (left) {
    out.push_back(c);
    Pad(out, ' ', width - 1);
  } else {
    Pad(out, ' ', width - 1);
    out.push_back(c);
  }
}

void FormatText(vek::string& out, const Conversion& conv, const char* text) {
  bool left;
  int width;
  WidthOnly(conv, left, width);
  if (!text) text = "";
  Justify(out, "", 0, text, std::strlen(text), width, left, false);
}

void FormatInt(vek::string& out, const Conversion& conv, i32 value) {
  bool alternate = false, left = false, zeros = false, haveWidth = false;
  int width = 0;
  char kind = 'd';
  const char* end = conv.text + conv.size;
  // An integer has no precision: "." is passed over like any other letter, so the digits after
  // it still give the width and a "0" there still asks for zeros ('%5.0d' -> '00042').
  for (const char* p = conv.text; p < end; ++p) {
    const char c = *p;
    switch (c) {
      case '#': alternate = true; break;
      case '-': left = true; break;
      case '0': zeros = true; break;
      case 'd': case 'i': case 'u': case 'o': case 'x': case 'X': kind = c; break;
      default:
        if (c >= '1' && c <= '9') {
          // The first number is the width ('%5.2f' of an integer: width 5); later ones are
          // passed over.
          int number = 0;
          for (; p < end && *p >= '0' && *p <= '9'; ++p) number = AddDigit(number, *p, kMaxWidth);
          --p;
          if (!haveWidth) width = number;
          haveWidth = true;
        }
        break;
    }
  }

  // Digits are produced backwards into a fixed buffer (32 bits in octal need 11).
  char digits[32];
  char* d = digits + sizeof digits;
  char prefix[3];
  std::size_t prefixSize = 0;
  u64 magnitude;
  unsigned base = 10;
  if (kind == 'd' || kind == 'i') {
    magnitude = value < 0 ? static_cast<u64>(-static_cast<i64>(value)) : static_cast<u64>(value);
    if (value < 0) prefix[prefixSize++] = '-';
  } else {
    magnitude = static_cast<u32>(value);
    if (kind == 'o') base = 8;
    if (kind == 'x' || kind == 'X') base = 16;
    if (alternate && base == 8) prefix[prefixSize++] = '0';
    if (alternate && base == 16) {
      prefix[prefixSize++] = '0';
      prefix[prefixSize++] = kind;
    }
  }
  const char* hex = kind == 'X' ? "0123456789ABCDEF" : "0123456789abcdef";
  do {
    *--d = hex[magnitude % base];
    magnitude /= base;
  } while (magnitude != 0);
  Justify(out, prefix, prefixSize, d, static_cast<std::size_t>(digits + sizeof digits - d), width,
          left, zeros);
}

// Appends the decimal digits of a non-negative whole number held in a double.
char* WholeDigits(char* p, char* end, double whole) {
  if (whole < 9.2e18) {
    char tmp[24];
    char* t = tmp + sizeof tmp;
    u64 v = static_cast<u64>(static_cast<i64>(whole));
    do {
      *--t = static_cast<char>('0' + v % 10);
      v /= 10;
    } while (v != 0);
    const std::size_t n = static_cast<std::size_t>(tmp + sizeof tmp - t);
    std::memcpy(p, t, n);
    return p + n;
  }
  // Beyond a 64-bit integer: the exact digits of the double's whole part.
  const int n = std::snprintf(p, static_cast<std::size_t>(end - p), "%.0f", whole);
  return n > 0 && p + n < end ? p + n : p;
}

// Appends "." and `precision` truncated digits of a fraction in [0, 1).
char* FractionDigits(char* p, double fraction, int precision) {
  *p++ = '.';
  for (int i = 0; i < precision; ++i) {
    fraction *= 10.0;
    int digit = static_cast<int>(fraction);
    if (digit > 9) digit = 9;
    if (digit < 0) digit = 0;
    fraction -= digit;
    *p++ = static_cast<char>('0' + digit);
  }
  return p;
}

void FormatDouble(vek::string& out, const Conversion& conv, double value) {
  bool left = false, zeros = false, inPrecision = false;
  int width = 0, precision = 6;
  char kind = 'f';
  const char* end = conv.text + conv.size;
  for (const char* p = conv.text; p < end; ++p) {
    const char c = *p;
    switch (c) {
      case '-': left = true; break;
      case '0': zeros = true; break;
      case '.': inPrecision = true; break;
      case 'f': case 'e': case 'E': kind = c; break;
      default:
        if (c >= '1' && c <= '9') {
          int number = 0;
          const int limit = inPrecision ? kMaxPrecision : kMaxWidth;
          for (; p < end && *p >= '0' && *p <= '9'; ++p) number = AddDigit(number, *p, limit);
          --p;
          (inPrecision ? precision : width) = number;
        }
        break;
    }
  }

  if (std::isnan(value)) {
    Justify(out, "", 0, "NaN", 3, width, left, zeros);
    return;
  }
  if (std::isinf(value)) {
    Justify(out, "", 0, value > 0 ? "+INF" : "-INF", 4, width, left, zeros);
    return;
  }

  // Whole part of up to 309 digits, the point, the fraction and the exponent.
  char text[400];
  char* t = text;
  char* const textEnd = text + sizeof text;
  const char* sign = "";
  if (value == 0.0) {
    *t++ = '0';
    t = FractionDigits(t, 0.0, precision);
    if (kind != 'f') {
      std::memcpy(t, kind == 'e' ? "e+000" : "E+000", 5);
      t += 5;
    }
  } else {
    double magnitude = std::fabs(value);
    if (value < 0) sign = "-";
    if (kind == 'f') {
      const double whole = std::trunc(magnitude);
      t = WholeDigits(t, textEnd - kMaxPrecision - 2, whole);
      t = FractionDigits(t, magnitude - whole, precision);
    } else {
      const int exponent = static_cast<int>(std::log10(magnitude));  // truncated toward zero
      // 0.1 to the power of a very negative exponent would overflow: scale up first.
      const double scaled = exponent < -300 ? magnitude * 1e100 * std::pow(0.1, exponent + 100)
                                            : magnitude * std::pow(0.1, exponent);
      const double mantissa = scaled + 0.5 * std::pow(0.1, precision);
      const double whole = std::trunc(mantissa);
      t = WholeDigits(t, textEnd - kMaxPrecision - 8, whole);
      t = FractionDigits(t, mantissa - whole, precision);
      const int e = exponent < 0 ? -exponent : exponent;
      *t++ = kind;
      *t++ = exponent < 0 ? '-' : '+';
      *t++ = static_cast<char>('0' + e / 100 % 10);
      *t++ = static_cast<char>('0' + e / 10 % 10);
      *t++ = static_cast<char>('0' + e % 10);
    }
  }
  Justify(out, sign, std::strlen(sign), text, static_cast<std::size_t>(t - text), width, left,
          zeros);
}

void FormatRecord(vek::string& out, const Conversion& conv, const FormatArg& arg) {
  switch (arg.type) {
    case FormatArg::Character: FormatChar(out, conv, arg.c); break;
    case FormatArg::Integer: FormatInt(out, conv, arg.i); break;
    case FormatArg::Double: FormatDouble(out, conv, arg.d); break;
    case FormatArg::Text: FormatText(out, conv, arg.s); break;
    default: break;  // the empty record prints nothing
  }
}

// True when the format or a text record points into the output, which appending may move.
bool ReadsFromOutput(const vek::string& out, const char* format, const FormatArg* const* args) {
  const std::less<const char*> before;
  const auto inside = [&](const char* s) {
    return s && !before(s, out.data()) && !before(out.data() + out.size(), s);
  };
  if (inside(format)) return true;
  for (int i = 0; i < 7; ++i)
    if (args[i]->type == FormatArg::Text && inside(args[i]->s)) return true;
  return false;
}

void AppendFormatTo(vek::string& out, const char* format, const FormatArg* const* args) {
  int next = 0;
  const char* p = format;
  while (*p) {
    if (*p != '%') {
      const char* run = p;
      while (*p && *p != '%') ++p;
      out.append(run, static_cast<std::size_t>(p - run));
      continue;
    }
    const char* start = ++p;  // the conversion text begins after "%"
    while (*p && IsFlagChar(*p)) ++p;
    if (!*p) break;  // a conversion open at the end of the format is dropped
    const char c = *p++;
    const Conversion conv{start, static_cast<std::size_t>(p - start)};
    if (c == '%') {
      out.push_back('%');
    } else if (IsConversionLetter(c)) {
      FormatRecord(out, conv, next < kMaxConversions ? *args[next] : g_NoArg);
      ++next;
    } else {
      out.push_back('%');
      out.append(conv.text, conv.size);
    }
  }
}

}  // namespace

void AppendFormat(vek::string& out, const char* format, const FormatArg& a1, const FormatArg& a2,
                  const FormatArg& a3, const FormatArg& a4, const FormatArg& a5,
                  const FormatArg& a6, const FormatArg& a7) {
  if (!format) return;
  const FormatArg* args[kMaxConversions] = {&a1, &a2, &a3, &a4, &a5,
                                            &a6, &a7, &g_NoArg, &g_NoArg, &g_NoArg};
  if (ReadsFromOutput(out, format, args)) {
    vek::string text;
    AppendFormatTo(text, format, args);
    out += text;
  } else {
    AppendFormatTo(out, format, args);
  }
}

void Format(vek::string& out, const char* format, const FormatArg& a1, const FormatArg& a2,
            const FormatArg& a3, const FormatArg& a4, const FormatArg& a5, const FormatArg& a6,
            const FormatArg& a7) {
  const FormatArg* args[kMaxConversions] = {&a1, &a2, &a3, &a4, &a5,
                                            &a6, &a7, &g_NoArg, &g_NoArg, &g_NoArg};
  if (format && ReadsFromOutput(out, format, args)) {
    vek::string text;
    AppendFormatTo(text, format, args);
    out.swap(text);
    return;
  }
  out.clear();
  if (format) AppendFormatTo(out, format, args);
}

vek::string Formatted(const char* format, const FormatArg& a1, const FormatArg& a2,
                      const FormatArg& a3, const FormatArg& a4, const FormatArg& a5,
                      const FormatArg& a6, const FormatArg& a7) {
  vek::string out;
  AppendFormat(out, format, a1, a2, a3, a4, a5, a6, a7);
  return out;
}

// ---------------------------------------------------------------------------------------------
// String helpers

vek::string Left(const vek::string& text, std::size_t n) { return text.substr(0, n); }

void TrimLeft(vek::string& text) {
  std::size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  text.erase(0, i);
}

void TrimRight(vek::string& text) {
  std::size_t n = text.size();
  while (n > 0 && std::isspace(static_cast<unsigned char>(text[n - 1]))) --n;
  text.erase(n);
}

std::pair<vek::string, vek::string> SplitAtFirst(const vek::string& text, char delimiter) {
  const std::size_t at = text.find(delimiter);
  if (at == vek::string::npos) return {text, vek::string()};
  return {text.substr(0, at), text.substr(at + 1)};
}

std::vector<vek::string> SplitString(const vek::string& text, const vek::string& delimiter) {
  std::vector<vek::string> pieces;
  if (delimiter.empty()) {
    if (!text.empty()) pieces.push_back(text);
    return pieces;
  }
  std::size_t from = 0;
  while (from <= text.size()) {
    std::size_t at = text.find(delimiter, from);
    if (at == vek::string::npos) at = text.size();
    if (at > from) pieces.push_back(text.substr(from, at - from));
    from = at + delimiter.size();
  }
  return pieces;
}

namespace {
vek::string g_LowerCaseLocaleName;
std::unique_ptr<std::locale> g_LowerCaseLocale;  // null: the plain tolower
}  // namespace

void SetLowerCaseLocale(const vek::string& name) {
  g_LowerCaseLocaleName = name;
  g_LowerCaseLocale.reset();
  if (name.empty()) return;
  try {
    g_LowerCaseLocale = std::make_unique<std::locale>(name.c_str());
  } catch (const std::exception&) {
    // No such locale on this system: the plain tolower stands in.
  }
}

const vek::string& GetLowerCaseLocale() { return g_LowerCaseLocaleName; }

void ToLower(vek::string& text) {
  if (g_LowerCaseLocale) {
    const auto& ctype = std::use_facet<std::ctype<char>>(*g_LowerCaseLocale);
    ctype.tolower(text.data(), text.data() + text.size());
    return;
  }
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

f32 StringToFloat(const vek::string& text) {
  const char* p = text.c_str();
  while (*p == ' ' || *p == '\t' || *p == '\n') ++p;
  f32 sign = 1.0f;
  if (*p == '-') {
    sign = -1.0f;
    ++p;
  }
  f32 value = 0.0f;
  for (; *p >= '0' && *p <= '9'; ++p) value = value * 10.0f + static_cast<f32>(*p - '0');
  value *= sign;
  if (*p == '.') {
    ++p;
    f32 scale = 0.1f;
    for (; *p >= '0' && *p <= '9'; ++p) {
      value += static_cast<f32>(*p - '0') * sign * scale;
      scale *= 0.1f;
    }
  }
  return value;
}

int StringToInt(const vek::string& text) {
  // atoi's reading, with out-of-range values held at the ends of int's range.
  const long v = std::strtol(text.c_str(), nullptr, 10);
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}

bool IsNumber(const vek::string& text) {
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

void CollapseBlanks(vek::string& text) {
  vek::string out;
  out.reserve(text.size());
  for (char c : text)
    if (c != ' ' || out.empty() || out.back() != ' ') out.push_back(c);
  if (!out.empty() && out.front() == ' ') out.erase(0, 1);
  if (!out.empty() && out.back() == ' ') out.pop_back();
  text.swap(out);
}

}  // namespace vek
