#include "engine/core/coder.h"

#include <array>

#include "engine/core/format.h"
#include "engine/core/log.h"

namespace vek {
namespace {

const char* const kSender = "cCoder";
const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/=";
constexpr u8 kNoDigit = 0xFF;
// Output characters per line of the encoding.
constexpr std::size_t kLineLength = 64;

// Reads an entry: base64 (key 0) or xor with its key; false when the entry is not valid.
bool ParseEntry(const vek::string& entry, bool& base64, u8& key) {
  base64 = false;
  key = 0;
  if (entry == "base64") {
    base64 = true;
    return true;
  }
  std::size_t open = entry.find('(');
  if (open == vek::string::npos || open == 0) return false;
  std::size_t close = entry.find(')', open);
  if (close == vek::string::npos || close + 1 != entry.size()) return false;
  if (entry.compare(0, open, "xor") != 0) return false;
  vek::string argument = entry.substr(open + 1, close - open - 1);
  if (!IsNumber(argument)) return false;
  u32 value = 0;
  for (char c : argument) {
    value = value * 10 + static_cast<u32>(c - '0');
    if (value > 255) return false;
  }
  if (value < 1) return false;
  key = static_cast<u8>(value);
  return true;
}

const std::array<u8, 256>& DecodeTable() {
  static const std::array<u8, 256> table = [] {
    std::array<u8, 256> t;
    t.fill(kNoDigit);
    for (int i = 0; i < 64; ++i) t[static_cast<unsigned char>(kAlphabet[i])] = static_cast<u8>(i);
    return t;
  }();
  return table;
}

void Xor(vek::string& text, u8 key) {
  for (char& c : text) c = static_cast<char>(static_cast<u8>(c) ^ key);
}

}  // namespace

cCoder::cCoder(const vek::string& chain) {
  m_Chain = SplitString(chain, " ");
  if (m_Chain.empty()) {
    LogWarning(kSender, "constructor: algorithms not assigned\n");
    return;
  }
  for (const vek::string& entry : m_Chain) {
    if (!IsValidEntry(entry)) {
      LogWarning(kSender, "constructor: algorithms are not valid\n");
      m_Chain.clear();
      return;
    }
  }
}

bool cCoder::IsValidEntry(const vek::string& entry) {
  bool base64;
  u8 key;
  return ParseEntry(entry, base64, key);
}

vek::string cCoder::Base64Encode(const vek::string& data) {
  vek::string out;
  out.reserve((data.size() + 2) / 3 * 4 + data.size() / 24 + 4);
  std::size_t lineChars = 0;
  for (std::size_t i = 0; i < data.size(); i += 3) {
    std::size_t n = data.size() - i < 3 ? data.size() - i : 3;
    u32 group = static_cast<u32>(static_cast<u8>(data[i])) << 16;
    if (n > 1) group |= static_cast<u32>(static_cast<u8>(data[i + 1])) << 8;
    if (n > 2) group |= static_cast<u32>(static_cast<u8>(data[i + 2]));
    out.push_back(kAlphabet[(group >> 18) & 63]);
    out.push_back(kAlphabet[(group >> 12) & 63]);
    out.push_back(n > 1 ? kAlphabet[(group >> 6) & 63] : '=');
    out.push_back(n > 2 ? kAlphabet[group & 63] : '=');
    lineChars += 4;
    if (lineChars == kLineLength) {
      out += "\r\n";
      lineChars = 0;
    }
  }
  return out;
}

vek::string cCoder::Base64Decode(const vek::string& text) {
  const std::array<u8, 256>& table = DecodeTable();
  vek::string out;
  out.reserve(text.size() / 4 * 3 + 3);
  u32 bits = 0;
  int count = 0;
  for (unsigned char c : text) {
    u8 digit = table[c];
    if (digit == kNoDigit) continue;
    bits = (bits << 6) | digit;
    count += 6;
    if (count >= 8) {
      count -= 8;
      out.push_back(static_cast<char>((bits >> count) & 0xFF));
    }
  }
  return out;
}

bool cCoder::Encode(vek::string& text) const {
  vek::string work = text;
  for (const vek::string& entry : m_Chain) {
    bool base64;
    u8 key;
    if (!ParseEntry(entry, base64, key)) return false;
    if (base64)
      work = Base64Encode(work);
    else
      Xor(work, key);
  }
  text = std::move(work);
  return true;
}

bool cCoder::Decode(vek::string& text) const {
  vek::string work = text;
  for (auto it = m_Chain.rbegin(); it != m_Chain.rend(); ++it) {
    bool base64;
    u8 key;
    if (!ParseEntry(*it, base64, key)) return false;
    if (base64)
      work = Base64Decode(work);
    else
      Xor(work, key);
  }
  text = std::move(work);
  return true;
}

}  // namespace vek
